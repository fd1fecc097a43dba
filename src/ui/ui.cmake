target_sources(vm_ui_core PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/progress_rows.cpp
  ${CMAKE_CURRENT_LIST_DIR}/progress_layout.cpp
  ${CMAKE_CURRENT_LIST_DIR}/document_stream.cpp
  ${CMAKE_CURRENT_LIST_DIR}/window_titles.cpp)
if(WIN32)
  target_sources(vm_ui PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/chinstall.cpp
    ${CMAKE_CURRENT_LIST_DIR}/cidle.cpp
    ${CMAKE_CURRENT_LIST_DIR}/cmyrichedit.cpp
    ${CMAKE_CURRENT_LIST_DIR}/licence_documents.cpp
    ${CMAKE_CURRENT_LIST_DIR}/cbegin.cpp
    ${CMAKE_CURRENT_LIST_DIR}/cdialmode.cpp)
endif()

# downloadFile with its retry question, one attempt, and the manifest download.
target_sources(vm_download_core PRIVATE ${CMAKE_CURRENT_LIST_DIR}/download_once_text.cpp)
if(WIN32)
  target_sources(vm_download PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/download_once.cpp
    ${CMAKE_CURRENT_LIST_DIR}/download_file.cpp
    ${CMAKE_CURRENT_LIST_DIR}/manifest_loader.cpp)
endif()

if(WIN32)
  target_sources(vm_framework PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/window.cpp
    ${CMAKE_CURRENT_LIST_DIR}/dialog.cpp)
endif()

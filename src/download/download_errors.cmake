if(WIN32)
  target_sources(vm_download PRIVATE ${CMAKE_CURRENT_LIST_DIR}/download_errors.cpp)
endif()

target_sources(vm_download_core PRIVATE ${CMAKE_CURRENT_LIST_DIR}/install_descriptor.cpp)
if(WIN32)
  target_sources(vm_download PRIVATE ${CMAKE_CURRENT_LIST_DIR}/descriptor_loader.cpp)
endif()

target_sources(vm_download_core PRIVATE ${CMAKE_CURRENT_LIST_DIR}/text_field.cpp)

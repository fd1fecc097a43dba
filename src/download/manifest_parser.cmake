target_sources(vm_download_core PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/manifest_parser.cpp
  ${CMAKE_CURRENT_LIST_DIR}/manifest_names.cpp
  ${CMAKE_CURRENT_LIST_DIR}/decimal_text.cpp
  ${CMAKE_CURRENT_LIST_DIR}/file_lists.cpp)

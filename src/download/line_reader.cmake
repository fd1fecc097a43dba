target_sources(vm_download_core PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/line_reader.cpp
  ${CMAKE_CURRENT_LIST_DIR}/record_list.cpp)

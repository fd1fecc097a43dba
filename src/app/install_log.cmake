target_sources(vm_app_core PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/log_line.cpp
  ${CMAKE_CURRENT_LIST_DIR}/log_path.cpp)
if(WIN32)
  target_sources(vm_app PRIVATE ${CMAKE_CURRENT_LIST_DIR}/install_log.cpp)
endif()

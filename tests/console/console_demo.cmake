# The console demo program: run by hand or by scripts/screenshots, never by ctest.
if(WIN32)
  add_executable(console_demo WIN32 ${CMAKE_CURRENT_LIST_DIR}/console_demo.cpp)
  target_link_libraries(console_demo PRIVATE vm_console)
  vm_warnings(console_demo)
endif()

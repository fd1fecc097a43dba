# Console printing and redraw speed under Wine (bench/console.sh runs it).
if(WIN32)
  add_executable(console_bench ${CMAKE_CURRENT_LIST_DIR}/console_bench.cpp)
  target_link_libraries(console_bench PRIVATE vm_console)
  vm_warnings(console_bench)
endif()

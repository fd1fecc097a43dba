# Download speed beside a minimal Win32 client (bench/download.sh runs them).
if(WIN32)
  add_executable(download_bench ${CMAKE_CURRENT_LIST_DIR}/download_bench.cpp)
  target_link_libraries(download_bench PRIVATE vm_download psapi)
  vm_warnings(download_bench)
  add_executable(reference_client ${CMAKE_CURRENT_LIST_DIR}/reference_client.cpp)
  target_link_libraries(reference_client PRIVATE ws2_32)
  vm_warnings(reference_client)
endif()

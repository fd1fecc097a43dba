# MD5 throughput. The digest source is compiled into the benchmark itself so that
# it is optimised even where the libraries are built for debugging (host preset).
add_executable(digest_bench
  ${CMAKE_CURRENT_LIST_DIR}/digest_bench.cpp
  ${CMAKE_SOURCE_DIR}/src/download/md5_digest.cpp)
target_include_directories(digest_bench PRIVATE ${CMAKE_SOURCE_DIR}/src)
target_compile_options(digest_bench PRIVATE -O2)
vm_warnings(digest_bench)

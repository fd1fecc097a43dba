vm_add_fuzzer(NAME fuzz_url SOURCES ${CMAKE_CURRENT_LIST_DIR}/fuzz_url.cpp LIBS vm_net_core SECONDS 15)

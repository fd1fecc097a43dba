vm_add_fuzzer(NAME fuzz_http_response SOURCES ${CMAKE_CURRENT_LIST_DIR}/http_response_fuzz.cpp
              LIBS vm_net_core SECONDS 15)

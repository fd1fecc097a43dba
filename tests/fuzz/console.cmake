vm_add_fuzzer(NAME fuzz_console SOURCES ${CMAKE_CURRENT_LIST_DIR}/fuzz_console.cpp
              LIBS vm_console_core SECONDS 15)

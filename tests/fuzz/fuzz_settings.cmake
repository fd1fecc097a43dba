vm_add_fuzzer(NAME fuzz_settings SOURCES ${CMAKE_CURRENT_LIST_DIR}/fuzz_settings.cpp LIBS vm_engine_core SECONDS 15)

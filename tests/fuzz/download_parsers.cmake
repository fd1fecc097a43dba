vm_add_fuzzer(NAME fuzz_descriptor SOURCES ${CMAKE_CURRENT_LIST_DIR}/fuzz_descriptor.cpp
              LIBS vm_download_core SECONDS 15)
vm_add_fuzzer(NAME fuzz_manifest SOURCES ${CMAKE_CURRENT_LIST_DIR}/fuzz_manifest.cpp
              LIBS vm_download_core SECONDS 15)

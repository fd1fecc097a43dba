vm_add_test(NAME manifest_loader_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/manifest_loader_test.cpp
            LIBS vm_download vm_test_loopback WINDOWS_ONLY TIMEOUT 120)

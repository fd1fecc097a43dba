vm_add_test(NAME download_file_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/download_file_test.cpp
            LIBS vm_download vm_test_loopback WINDOWS_ONLY TIMEOUT 120)

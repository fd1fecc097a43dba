vm_add_test(NAME http_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/http_test.cpp
            LIBS vm_net vm_test_loopback WINDOWS_ONLY TIMEOUT 120)

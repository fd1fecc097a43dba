vm_add_test(NAME console_input_test
            SOURCES ${CMAKE_CURRENT_LIST_DIR}/console_keys_test.cpp
                    ${CMAKE_CURRENT_LIST_DIR}/console_mouse_test.cpp
            LIBS vm_console WINDOWS_ONLY TIMEOUT 120)

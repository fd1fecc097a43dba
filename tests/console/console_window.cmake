vm_add_test(NAME console_window_test
            SOURCES ${CMAKE_CURRENT_LIST_DIR}/console_messages_test.cpp
                    ${CMAKE_CURRENT_LIST_DIR}/console_text_window_test.cpp
                    ${CMAKE_CURRENT_LIST_DIR}/console_threads_test.cpp
            LIBS vm_console WINDOWS_ONLY TIMEOUT 120)

vm_add_test(NAME console_text_model_test
            SOURCES ${CMAKE_CURRENT_LIST_DIR}/screen_text_test.cpp
                    ${CMAKE_CURRENT_LIST_DIR}/screen_paint_test.cpp
                    ${CMAKE_CURRENT_LIST_DIR}/line_editor_test.cpp
                    ${CMAKE_CURRENT_LIST_DIR}/key_queue_test.cpp
            LIBS vm_console_core)

vm_add_test(NAME manifest_parser_test
            SOURCES ${CMAKE_CURRENT_LIST_DIR}/manifest_parser_test.cpp
                    ${CMAKE_CURRENT_LIST_DIR}/decimal_text_test.cpp
            LIBS vm_download_core)

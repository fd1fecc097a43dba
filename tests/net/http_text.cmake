vm_add_test(NAME http_text_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/http_text_test.cpp
                    ${CMAKE_CURRENT_LIST_DIR}/page_warmer_test.cpp
            LIBS vm_net_core)

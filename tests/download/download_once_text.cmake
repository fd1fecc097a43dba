vm_add_test(NAME download_once_text_test
            SOURCES ${CMAKE_CURRENT_LIST_DIR}/download_once_text_test.cpp
            LIBS vm_download_core)

vm_add_test(NAME line_reader_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/line_reader_test.cpp
            LIBS vm_download_core)
vm_add_test(NAME record_list_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/record_list_test.cpp
            LIBS vm_download_core)

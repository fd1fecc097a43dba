vm_add_test(NAME md5_digest_test
            SOURCES ${CMAKE_CURRENT_LIST_DIR}/md5_digest_test.cpp ${CMAKE_CURRENT_LIST_DIR}/md5_reference.cpp
            LIBS vm_download_core)

vm_add_test(NAME message_box_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/message_box_test.cpp
            LIBS vm_app WINDOWS_ONLY)

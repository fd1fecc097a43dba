vm_add_test(NAME log_line_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/log_line_test.cpp LIBS vm_app_core)

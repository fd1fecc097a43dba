vm_add_test(NAME install_log_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/install_log_test.cpp LIBS vm_app WINDOWS_ONLY)

vm_add_test(NAME settings_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/settings_test.cpp LIBS vm_engine_core)

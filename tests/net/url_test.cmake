vm_add_test(NAME url_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/url_test.cpp LIBS vm_net_core)

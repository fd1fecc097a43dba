vm_add_test(NAME settings_services_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/settings_services_test.cpp
            LIBS vm_engine WINDOWS_ONLY)

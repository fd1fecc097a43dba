# The UI driver: runs the real velmorin.exe in the same Wine prefix and works it
# through its windows. Its cases run one after another (the program is single-
# instance), and no other test that starts the program may run beside it.
if(WIN32)
  vm_add_test(NAME startup_driver_test
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/startup_driver_test.cpp ${CMAKE_CURRENT_LIST_DIR}/ui_driver.cpp
    LIBS user32 WINDOWS_ONLY TIMEOUT 300)
  target_compile_definitions(startup_driver_test PRIVATE VELMORIN_EXE="$<TARGET_FILE:velmorin>")
  add_dependencies(startup_driver_test velmorin)
  set_tests_properties(startup_driver_test PROPERTIES RESOURCE_LOCK velmorin_exe)
endif()

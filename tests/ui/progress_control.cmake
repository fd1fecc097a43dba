vm_add_test(NAME progress_control_test
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/progress_control_test.cpp
  LIBS vm_ui WINDOWS_ONLY RESOURCES)

vm_add_test(NAME dialog_layer_test
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/dialog_layer_test.cpp
  LIBS vm_framework WINDOWS_ONLY RESOURCES)

vm_add_test(NAME licence_documents_test
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/licence_documents_test.cpp
  LIBS vm_ui WINDOWS_ONLY)
vm_add_test(NAME wizard_pages_test
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/wizard_pages_test.cpp
  LIBS vm_ui WINDOWS_ONLY RESOURCES)

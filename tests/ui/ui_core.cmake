vm_add_test(NAME ui_core_test
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/progress_rows_test.cpp
          ${CMAKE_CURRENT_LIST_DIR}/progress_layout_test.cpp
          ${CMAKE_CURRENT_LIST_DIR}/ui_text_test.cpp
  LIBS vm_ui_core vm_app_core)

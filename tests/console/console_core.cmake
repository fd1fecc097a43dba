vm_add_test(NAME console_text_model_test
            SOURCES ${CMAKE_CURRENT_LIST_DIR}/screen_text_test.cpp
                    ${CMAKE_CURRENT_LIST_DIR}/screen_paint_test.cpp
                    ${CMAKE_CURRENT_LIST_DIR}/line_editor_test.cpp
                    ${CMAKE_CURRENT_LIST_DIR}/key_queue_test.cpp
            LIBS vm_console_core)

# The committed glyph table is what the generator makes from the vgabios package.
if(NOT WIN32)
  add_test(NAME console_glyph_table_reproducible
           COMMAND sh -c "python3 '${CMAKE_SOURCE_DIR}/tools/make_glyphs.py' | cmp - '${CMAKE_SOURCE_DIR}/src/console/vga_glyphs.cpp'")
endif()

# The console control: the cell model, drawing, line editor and selection are
# platform-free; the window, its messages, keys, mouse and clipboard are Windows code.
target_sources(vm_console_core PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/vga_glyphs.cpp
  ${CMAKE_CURRENT_LIST_DIR}/palette.cpp
  ${CMAKE_CURRENT_LIST_DIR}/screen_text.cpp
  ${CMAKE_CURRENT_LIST_DIR}/screen_paint.cpp
  ${CMAKE_CURRENT_LIST_DIR}/screen_selection.cpp
  ${CMAKE_CURRENT_LIST_DIR}/line_editor.cpp)
if(WIN32)
  target_sources(vm_console PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/console_lock.cpp
    ${CMAKE_CURRENT_LIST_DIR}/console_map.cpp
    ${CMAKE_CURRENT_LIST_DIR}/console_window.cpp
    ${CMAKE_CURRENT_LIST_DIR}/console_paint.cpp
    ${CMAKE_CURRENT_LIST_DIR}/console_keys.cpp
    ${CMAKE_CURRENT_LIST_DIR}/console_mouse.cpp
    ${CMAKE_CURRENT_LIST_DIR}/console_sink.cpp)
endif()

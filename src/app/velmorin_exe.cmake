# The installer program itself.
if(WIN32)
  add_executable(velmorin WIN32
    ${CMAKE_CURRENT_LIST_DIR}/velmorin_main.cpp
    ${CMAKE_CURRENT_LIST_DIR}/velmorin_app.cpp
    ${CMAKE_SOURCE_DIR}/src/engine/main_dialog_standin.cpp)
  target_link_libraries(velmorin PRIVATE
    vm_ui vm_console vm_engine vm_download vm_net vm_app vm_framework vm_resources comctl32)
  set_target_properties(velmorin PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/src)
  vm_warnings(velmorin)
endif()

# The program's embedded resources, linked into velmorin.exe and into the tests
# that need them.
if(WIN32)
  enable_language(RC)
  # The descriptor chosen at configure time is copied under a fixed name that the
  # .rc file finds on its include path.
  configure_file(${VELMORIN_DESCRIPTOR} ${CMAKE_BINARY_DIR}/generated/descriptor455.bin COPYONLY)
  add_library(vm_resources OBJECT ${CMAKE_CURRENT_LIST_DIR}/velmorin.rc)
  target_include_directories(vm_resources PRIVATE ${CMAKE_CURRENT_LIST_DIR} ${CMAKE_BINARY_DIR}/generated)
  # The compiler does not track the files that the .rc pulls in.
  file(GLOB VM_RESOURCE_FILES CONFIGURE_DEPENDS
    ${CMAKE_CURRENT_LIST_DIR}/*.bmp ${CMAKE_CURRENT_LIST_DIR}/*.ico
    ${CMAKE_CURRENT_LIST_DIR}/*.rtf ${CMAKE_CURRENT_LIST_DIR}/*.bin
    ${CMAKE_CURRENT_LIST_DIR}/resource_ids.h)
  set_source_files_properties(${CMAKE_CURRENT_LIST_DIR}/velmorin.rc PROPERTIES
    OBJECT_DEPENDS "${CMAKE_BINARY_DIR}/generated/descriptor455.bin;${VM_RESOURCE_FILES}")
endif()

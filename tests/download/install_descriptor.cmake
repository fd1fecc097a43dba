vm_add_test(NAME install_descriptor_test
            SOURCES ${CMAKE_CURRENT_LIST_DIR}/install_descriptor_test.cpp
            LIBS vm_download_core)
target_compile_definitions(install_descriptor_test PRIVATE
  VM_BUILT_IN_DESCRIPTOR="${CMAKE_SOURCE_DIR}/src/resources/descriptor.ini")

if(WIN32)
  # Loads the descriptor with no resource 455 of its own, in the directory it is given.
  add_executable(descriptor_loader_probe ${CMAKE_CURRENT_LIST_DIR}/descriptor_loader_probe.cpp)
  target_link_libraries(descriptor_loader_probe PRIVATE vm_download)
  vm_warnings(descriptor_loader_probe)

  vm_add_test(NAME descriptor_loader_test
              SOURCES ${CMAKE_CURRENT_LIST_DIR}/descriptor_loader_test.cpp
              LIBS vm_download WINDOWS_ONLY RESOURCES)
  target_compile_definitions(descriptor_loader_test PRIVATE
    VM_BUILT_IN_DESCRIPTOR="${VELMORIN_DESCRIPTOR}")
  add_dependencies(descriptor_loader_test descriptor_loader_probe)
endif()

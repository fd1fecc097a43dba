# velmorin_add_installer(<target>
#     [HOST <host[:port]>]        download host that base URLs start with
#     [DESCRIPTOR <file>]         install descriptor, embedded as raw data 455
#     [LICENCE <file.rtf>]        licence agreement, raw data 456
#     [NOTICE <file.rtf>]         notice shown before it, raw data 457
#     [SUPPORT <address>]         support address named in the digest error report
#     [KEY <public key.pem>]      publisher's public key, raw data 459 of both programs
#     [OUTPUT_DIRECTORY <dir>])
# Builds an installer executable for one product, with that product's rescue setup
# program (<target>_rescue_setup) embedded as raw data 458. Every value defaults to the
# project's cache variables (VELMORIN_DOWNLOAD_HOST, VELMORIN_DESCRIPTOR,
# VELMORIN_LICENCE, VELMORIN_NOTICE, VELMORIN_SUPPORT_ADDRESS, VELMORIN_PUBLISHER_KEY);
# without a key, both programs are unsigned.
function(velmorin_add_installer target)
  cmake_parse_arguments(I "" "HOST;DESCRIPTOR;LICENCE;NOTICE;SUPPORT;KEY;OUTPUT_DIRECTORY" "" ${ARGN})
  foreach(pair HOST:VELMORIN_DOWNLOAD_HOST DESCRIPTOR:VELMORIN_DESCRIPTOR LICENCE:VELMORIN_LICENCE
               NOTICE:VELMORIN_NOTICE SUPPORT:VELMORIN_SUPPORT_ADDRESS KEY:VELMORIN_PUBLISHER_KEY)
    string(REPLACE ":" ";" pair "${pair}")
    list(GET pair 0 key)
    list(GET pair 1 default)
    if(NOT DEFINED I_${key})
      set(I_${key} "${${default}}")
    endif()
  endforeach()

  # The product's files, copied under the fixed names that velmorin.rc looks for.
  set(product ${CMAKE_BINARY_DIR}/generated/${target})
  configure_file(${I_DESCRIPTOR} ${product}/product_descriptor.bin COPYONLY)
  configure_file(${I_LICENCE} ${product}/product_licence.rtf COPYONLY)
  configure_file(${I_NOTICE} ${product}/product_notice.rtf COPYONLY)
  set(key "")
  if(I_KEY)
    get_filename_component(I_KEY "${I_KEY}" ABSOLUTE)
    vm_check_publisher_key("${I_KEY}")
    configure_file(${I_KEY} ${product}/publisher_key.pem COPYONLY)
    set(key PUBLISHER_KEY)
  endif()

  # The product's rescue setup program (setup.exe of its rescue packages): the same
  # descriptor and documents, embedded in the installer as raw data 458.
  vm_add_resources(${target}_rescue_resources ${product} RESCUE_PROGRAM ${key})
  add_executable(${target}_rescue_setup WIN32 ${CMAKE_SOURCE_DIR}/src/rescue/rescue_main.cpp)
  target_link_libraries(${target}_rescue_setup PRIVATE vm_rescue ${target}_rescue_resources comctl32)
  set_target_properties(${target}_rescue_setup PROPERTIES
    RUNTIME_OUTPUT_DIRECTORY ${product} OUTPUT_NAME rescue_setup)
  vm_warnings(${target}_rescue_setup)

  vm_add_resources(${target}_resources ${product} RESCUE_SETUP ${target}_rescue_setup ${key})

  add_executable(${target} WIN32 ${CMAKE_SOURCE_DIR}/src/app/velmorin_main.cpp)
  target_compile_definitions(${target} PRIVATE
    VELMORIN_INSTALLER_HOST="${I_HOST}" VELMORIN_INSTALLER_SUPPORT="${I_SUPPORT}")
  target_link_libraries(${target} PRIVATE vm_app ${target}_resources)
  if(I_OUTPUT_DIRECTORY)
    set_target_properties(${target} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${I_OUTPUT_DIRECTORY})
  endif()
  vm_warnings(${target})
endfunction()

# vm_add_resources(<target> <product directory> [RESCUE_PROGRAM | RESCUE_SETUP <exe target>]
#                  [PUBLISHER_KEY])
# The product directory holds product_descriptor.bin, product_licence.rtf and
# product_notice.rtf. RESCUE_PROGRAM: the resources of the rescue setup program (its
# window instead of raw data 458). RESCUE_SETUP: the installer's resources, with the
# rescue setup program built by <exe target> as raw data 458. PUBLISHER_KEY: the
# directory's publisher_key.pem as raw data 459.
function(vm_add_resources target product)
  cmake_parse_arguments(R "RESCUE_PROGRAM;PUBLISHER_KEY" "RESCUE_SETUP" "" ${ARGN})
  set(dir ${CMAKE_SOURCE_DIR}/src/resources)
  # A copy of the script per product and kind, so that each carries its own dependencies.
  if(R_RESCUE_PROGRAM)
    set(script ${product}/rescue_setup.rc)
  else()
    set(script ${product}/velmorin.rc)
  endif()
  configure_file(${dir}/velmorin.rc ${script} COPYONLY)
  add_library(${target} OBJECT ${script})
  target_include_directories(${target} PRIVATE ${product} ${dir})
  # The resource compiler does not track the files that the .rc pulls in.
  set(files
    resource_ids.h
    state_tick_129.bmp
    state_question_130.bmp
    state_dots_131.bmp
    state_warning_132.bmp
    state_cross_133.bmp
    state_disk_134.bmp
    velmorin_137.ico)
  list(TRANSFORM files PREPEND ${dir}/)
  list(APPEND files
    ${product}/product_descriptor.bin ${product}/product_licence.rtf ${product}/product_notice.rtf)
  if(R_PUBLISHER_KEY)
    target_compile_definitions(${target} PRIVATE VM_PUBLISHER_KEY)
    list(APPEND files ${product}/publisher_key.pem)
  endif()
  if(R_RESCUE_PROGRAM)
    target_compile_definitions(${target} PRIVATE VM_RESCUE_PROGRAM)
  else()
    get_target_property(setupDirectory ${R_RESCUE_SETUP} RUNTIME_OUTPUT_DIRECTORY)
    target_include_directories(${target} PRIVATE ${setupDirectory})
    list(APPEND files ${setupDirectory}/rescue_setup.exe)
    add_dependencies(${target} ${R_RESCUE_SETUP})
  endif()
  set_source_files_properties(${script} PROPERTIES OBJECT_DEPENDS "${files}")
endfunction()

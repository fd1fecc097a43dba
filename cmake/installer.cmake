# velmorin_add_installer(<target>
#     [HOST <host[:port]>]        download host that base URLs start with
#     [DESCRIPTOR <file>]         install descriptor, embedded as raw data 455
#     [LICENCE <file.rtf>]        licence agreement, raw data 456
#     [NOTICE <file.rtf>]         notice shown before it, raw data 457
#     [SUPPORT <address>]         support address named in the digest error report
#     [OUTPUT_DIRECTORY <dir>])
# Builds an installer executable for one product. Every value defaults to the
# project's cache variables (VELMORIN_DOWNLOAD_HOST, VELMORIN_DESCRIPTOR,
# VELMORIN_LICENCE, VELMORIN_NOTICE, VELMORIN_SUPPORT_ADDRESS).
function(velmorin_add_installer target)
  cmake_parse_arguments(I "" "HOST;DESCRIPTOR;LICENCE;NOTICE;SUPPORT;OUTPUT_DIRECTORY" "" ${ARGN})
  foreach(pair HOST:VELMORIN_DOWNLOAD_HOST DESCRIPTOR:VELMORIN_DESCRIPTOR LICENCE:VELMORIN_LICENCE
               NOTICE:VELMORIN_NOTICE SUPPORT:VELMORIN_SUPPORT_ADDRESS)
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
  vm_add_resources(${target}_resources ${product})

  add_executable(${target} WIN32
    ${CMAKE_SOURCE_DIR}/src/app/velmorin_main.cpp
    ${CMAKE_SOURCE_DIR}/src/app/velmorin_app.cpp)
  target_compile_definitions(${target} PRIVATE
    VELMORIN_INSTALLER_HOST="${I_HOST}" VELMORIN_INSTALLER_SUPPORT="${I_SUPPORT}")
  target_link_libraries(${target} PRIVATE vm_engine vm_ui vm_console vm_download vm_net vm_app
    vm_framework ${target}_resources comctl32)
  if(I_OUTPUT_DIRECTORY)
    set_target_properties(${target} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${I_OUTPUT_DIRECTORY})
  endif()
  vm_warnings(${target})
endfunction()

# vm_add_resources(<target> <product directory>)
# The product directory holds product_descriptor.bin, product_licence.rtf and
# product_notice.rtf.
function(vm_add_resources target product)
  set(dir ${CMAKE_SOURCE_DIR}/src/resources)
  # A copy of the script per product, so that each carries its own dependencies.
  configure_file(${dir}/velmorin.rc ${product}/velmorin.rc COPYONLY)
  add_library(${target} OBJECT ${product}/velmorin.rc)
  target_include_directories(${target} PRIVATE ${product} ${dir})
  # The resource compiler does not track the files that the .rc pulls in.
  set(files
    resource_ids.h
    rescue_setup_458.bin
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
  set_source_files_properties(${product}/velmorin.rc PROPERTIES OBJECT_DEPENDS "${files}")
endfunction()

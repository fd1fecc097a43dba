# The two kinds of library each source directory builds:
#   vm_core_library(<name> <sources...>)     platform-free code, built on both presets
#   vm_windows_library(<name> <sources...>)  code that calls the Windows API (win64 only)
function(vm_core_library name)
  add_library(${name} STATIC ${ARGN})
  target_include_directories(${name} PUBLIC ${CMAKE_SOURCE_DIR}/src)
  vm_warnings(${name})
endfunction()

function(vm_windows_library name)
  add_library(${name} STATIC ${ARGN})
  target_include_directories(${name} PUBLIC ${CMAKE_SOURCE_DIR}/src)
  target_compile_definitions(${name} PUBLIC WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601)
  vm_warnings(${name})
endfunction()

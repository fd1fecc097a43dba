# Warnings for the project's own targets (not for GoogleTest).
set(VM_WARNINGS -Wall -Wextra)
function(vm_warnings target)
  target_compile_options(${target} PRIVATE ${VM_WARNINGS})
endfunction()

#include "win32/guarded_call.h"

#include <malloc.h>  // _resetstkoflw

namespace {
// Room for the dispatch of a stack overflow, the filter and the unwinding.
constexpr ULONG kStackGuarantee = 64 * 1024;
}  // namespace

extern "C" {
// The frame: calls function(argument) and returns its 8-bit result, or -1 when an
// exception escaped it, noted in `escaped` before the frames in between unwind.
int vmGuardedCall(const void* function, void* argument, EscapedException* escaped);

void vmNoteEscapedException(const EXCEPTION_RECORD* record, EscapedException* escaped) {
  escaped->code = record->ExceptionCode;
  escaped->address = record->ExceptionAddress;
}

#if defined(__x86_64__)
// The scope's filter, called by __C_specific_handler with the frame's stack pointer
// after its prologue, where the frame keeps `escaped`.
LONG vmGuardedCallFilter(EXCEPTION_POINTERS* pointers, void* frame) {
  vmNoteEscapedException(pointers->ExceptionRecord,
                         *reinterpret_cast<EscapedException**>(static_cast<char*>(frame) + 32));
  return EXCEPTION_EXECUTE_HANDLER;
}
#endif
}

#if defined(__x86_64__)
// 40 bytes of frame: the callee's 32 bytes of home space, then `escaped`. The scope
// covers the call up to the nop after it (the return address must lie inside); once
// the filter has taken an exception, __C_specific_handler unwinds to .LvmCaught.
asm(R"(
	.text
	.globl vmGuardedCall
	.def vmGuardedCall; .scl 2; .type 32; .endef
	.seh_proc vmGuardedCall
vmGuardedCall:
	subq $40, %rsp
	.seh_stackalloc 40
	.seh_endprologue
	movq %r8, 32(%rsp)
	movq %rcx, %rax
	movq %rdx, %rcx
.LvmScopeBegin:
	callq *%rax
	nop
.LvmScopeEnd:
	movzbl %al, %eax
	addq $40, %rsp
	ret
.LvmCaught:
	movl $-1, %eax
	addq $40, %rsp
	ret
	.seh_handler __C_specific_handler, @except
	.seh_handlerdata
	.long 1
	.rva .LvmScopeBegin, .LvmScopeEnd, vmGuardedCallFilter, .LvmCaught
	.text
	.seh_endproc
)");
#elif defined(__i386__)
// The frame below %ebp: the saved %ebx, %esi, %edi, then the registration record
// {previous, handler, escaped} at -24, linked at the head of the thread's chain during
// the call. The handler passes unwinding calls on; for an exception it notes it,
// unwinds the records below its own (running their handlers' cleanup), and resumes
// at .LvmCaught with the frame's %ebp and %esp. RtlUnwind keeps no register, so
// everything is taken from the frame again afterwards.
asm(R"(
	.text
	.globl _vmGuardedCall
	.def _vmGuardedCall; .scl 2; .type 32; .endef
_vmGuardedCall:
	pushl %ebp
	movl %esp, %ebp
	pushl %ebx
	pushl %esi
	pushl %edi
	pushl 16(%ebp)
	pushl $_vmGuardedCallHandler
	pushl %fs:0
	movl %esp, %fs:0
	pushl 12(%ebp)
	call *8(%ebp)
	movzbl %al, %eax
.LvmDone:
	movl -24(%ebp), %ecx
	movl %ecx, %fs:0
	leal -12(%ebp), %esp
	popl %edi
	popl %esi
	popl %ebx
	popl %ebp
	ret
.LvmCaught:
	movl $-1, %eax
	jmp .LvmDone

	.def _vmGuardedCallHandler; .scl 3; .type 32; .endef
_vmGuardedCallHandler:
	movl 4(%esp), %eax
	testl $6, 4(%eax)
	jz 1f
	movl $1, %eax
	ret
1:	movl 8(%esp), %edx
	pushl 8(%edx)
	pushl %eax
	call _vmNoteEscapedException
	addl $8, %esp
	movl 4(%esp), %eax
	movl 8(%esp), %edx
	pushl $0
	pushl %eax
	pushl $0
	pushl %edx
	call _RtlUnwind@16
	movl 8(%esp), %edx
	leal 24(%edx), %ebp
	movl %edx, %esp
	jmp .LvmCaught
)");
#else
#error "callGuarded has a frame for x64 and x86 only"
#endif

bool callGuarded(const void* function, void* argument, unsigned char& result,
                 EscapedException& escaped) {
  ULONG guarantee = kStackGuarantee;
  SetThreadStackGuarantee(&guarantee);
  escaped = EscapedException{};
  const int outcome = vmGuardedCall(function, argument, &escaped);
  if (outcome >= 0) {
    result = static_cast<unsigned char>(outcome);
    return true;
  }
  // The guard page that caught the overflow is used up; put one back.
  if (escaped.code == EXCEPTION_STACK_OVERFLOW) _resetstkoflw();
  return false;
}

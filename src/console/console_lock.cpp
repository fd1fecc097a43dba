#include "console/console_lock.h"

#include "win32/handles.h"

namespace {

bool threadIsGone(DWORD threadId) {
  KernelHandle thread(OpenThread(SYNCHRONIZE, FALSE, threadId));
  if (!thread) return true;
  return WaitForSingleObject(thread.get(), 0) == WAIT_OBJECT_0;
}

}  // namespace

void ConsoleLock::lock() {
  const DWORD me = GetCurrentThreadId();
  if (owner_.load(std::memory_order_acquire) == me) {
    ++depth_;
    return;
  }
  ULONGLONG lastCheck = GetTickCount64();
  for (;;) {
    DWORD expected = 0;
    if (owner_.compare_exchange_weak(expected, me, std::memory_order_acquire)) break;
    // Holds are short (one text, one refresh); a holder that keeps it for long
    // may have been terminated.
    if (expected != 0 && GetTickCount64() - lastCheck > 50) {
      lastCheck = GetTickCount64();
      if (threadIsGone(expected) &&
          owner_.compare_exchange_strong(expected, me, std::memory_order_acquire))
        break;
    }
    SwitchToThread();
  }
  depth_ = 1;
}

void ConsoleLock::unlock() {
  if (--depth_ == 0) owner_.store(0, std::memory_order_release);
}

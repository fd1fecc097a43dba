// The lock that serialises a console's window thread with the threads that print
// into it directly. Recursive, and safe against a printing thread that is
// terminated while it holds the lock (the engine ends its workers that way): once
// the holder is found dead the lock is taken over instead of waited for for ever.
#pragma once
#include <windows.h>

#include <atomic>

class ConsoleLock {
 public:
  void lock();
  void unlock();

 private:
  std::atomic<DWORD> owner_{0};
  int depth_ = 0;
};

class ConsoleLockGuard {
 public:
  explicit ConsoleLockGuard(ConsoleLock& lock) : lock_(lock) { lock_.lock(); }
  ~ConsoleLockGuard() { lock_.unlock(); }
  ConsoleLockGuard(const ConsoleLockGuard&) = delete;
  ConsoleLockGuard& operator=(const ConsoleLockGuard&) = delete;

 private:
  ConsoleLock& lock_;
};

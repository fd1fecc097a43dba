#include "net/page_warmer.h"

#include <system_error>

namespace {
const size_t kPage = 4096;
}  // namespace

PageWarmer::~PageWarmer() { stop(); }

bool PageWarmer::start(char* block, size_t size, size_t ahead) {
  stop();
  if (!block || size == 0) return false;
  block_ = block;
  size_ = size;
  ahead_ = ahead;
  segments_ = (size + kSegment - 1) / kSegment;
  states_.reset(new std::atomic<uint8_t>[segments_]);
  for (size_t i = 0; i < segments_; ++i) states_[i].store(kUntouched, std::memory_order_relaxed);
  limit_.store(ahead);
  stopping_.store(false);
  try {
    thread_ = std::thread([this] { touchAll(); });
  } catch (const std::system_error&) {
    states_.reset();
    return false;
  }
  return true;
}

bool PageWarmer::mayTouch(size_t offset) {
  if (offset < limit_.load(std::memory_order_acquire)) return !stopping_.load(std::memory_order_relaxed);
  // Far enough ahead of the data: wait for the filler instead of spinning, and be
  // woken only once there is a stretch of work, not for every read (waking a thread
  // costs a round trip to the system).
  std::unique_lock<std::mutex> lock(mutex_);
  const size_t stretch = ahead_ / 4 > kSegment ? ahead_ / 4 : kSegment;
  wakeAt_.store(offset + stretch);
  waiting_.store(true);
  wakeup_.wait(lock, [&] { return stopping_.load() || limit_.load() >= wakeAt_.load(); });
  waiting_.store(false);
  return !stopping_.load();
}

void PageWarmer::touchAll() {
  for (size_t segment = 0; segment < segments_; ++segment) {
    if (!mayTouch(segment * kSegment)) return;
    uint8_t expected = kUntouched;
    if (!states_[segment].compare_exchange_strong(expected, kTouching, std::memory_order_acquire))
      continue;  // the filler got there first
    size_t end = (segment + 1) * kSegment < size_ ? (segment + 1) * kSegment : size_;
    // The bytes are not the filler's yet and hold nothing; a store makes the page real.
    for (size_t at = segment * kSegment; at < end; at += kPage)
      static_cast<volatile char*>(block_)[at] = 0;
    states_[segment].store(kTouched, std::memory_order_release);
  }
}

void PageWarmer::claim(size_t offset, size_t count) {
  if (!states_ || count == 0 || offset >= size_) return;
  size_t last = (offset + count - 1) / kSegment;
  if (last >= segments_) last = segments_ - 1;
  for (size_t segment = offset / kSegment; segment <= last; ++segment) {
    for (;;) {
      uint8_t state = states_[segment].load(std::memory_order_acquire);
      if (state == kTouched || state == kClaimed) break;
      if (state == kUntouched &&
          states_[segment].compare_exchange_weak(state, kClaimed, std::memory_order_acquire))
        break;
      if (state == kTouching) std::this_thread::yield();
    }
  }
  const size_t limit = offset + count + ahead_;
  if (limit <= limit_.load(std::memory_order_relaxed)) return;
  limit_.store(limit);
  // The lock is taken only to wake the warmer (it sets the flag before it looks at
  // the limit, this thread stores the limit before it looks at the flag: one of the
  // two sees the other).
  if (waiting_.load() && limit >= wakeAt_.load()) {
    std::lock_guard<std::mutex> lock(mutex_);
    wakeup_.notify_one();
  }
}

void PageWarmer::stop() {
  if (thread_.joinable()) {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      stopping_.store(true);
    }
    wakeup_.notify_one();
    thread_.join();
  }
  states_.reset();
  block_ = nullptr;
  size_ = 0;
  segments_ = 0;
}

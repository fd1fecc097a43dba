// Touches the pages of a freshly allocated block on a thread of its own, a bounded
// distance ahead of the thread that fills the block. The system hands out a page
// (zero-filled) at its first touch; for a large download that first touch costs as
// much as the reads themselves when it happens inside them, and next to nothing when
// it happens beside them. Pages far beyond what has arrived are left alone, so the
// memory in use follows the data received, not the size of the block.
#pragma once
#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <thread>

class PageWarmer {
 public:
  PageWarmer() = default;
  ~PageWarmer();
  PageWarmer(const PageWarmer&) = delete;
  PageWarmer& operator=(const PageWarmer&) = delete;

  // Starts touching [block, block + size), never more than `ahead` bytes beyond the
  // end of the last claim. False if no thread could be started.
  bool start(char* block, size_t size, size_t ahead);
  // The filling thread calls this before it writes into [offset, offset + count): the
  // warmer leaves those segments alone from then on (a segment being touched right
  // now is waited for), so the two threads never write the same bytes; and it may go
  // on up to `ahead` bytes past offset + count.
  void claim(size_t offset, size_t count);
  // Ends the thread and waits for it; the block is the filler's alone afterwards.
  void stop();
  bool running() const { return thread_.joinable(); }

  static const size_t kSegment = 256 * 1024;

 private:
  enum State : uint8_t { kUntouched, kTouching, kTouched, kClaimed };
  void touchAll();
  // Waits until the segment starting at `offset` may be touched; false when stopping.
  bool mayTouch(size_t offset);

  char* block_ = nullptr;
  size_t size_ = 0;
  size_t segments_ = 0;
  size_t ahead_ = 0;
  std::unique_ptr<std::atomic<uint8_t>[]> states_;
  std::atomic<size_t> limit_{0};  // the warmer stays below this offset
  std::atomic<bool> stopping_{false};
  std::atomic<bool> waiting_{false};  // the warmer sleeps until the limit reaches...
  std::atomic<size_t> wakeAt_{0};     // ...this offset
  std::mutex mutex_;
  std::condition_variable wakeup_;
  std::thread thread_;
};

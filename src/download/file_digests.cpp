// MD5 is the slower of the two digests; with two processors the SHA-256 of a large
// piece is computed on a side thread while this one computes its MD5, so a key costs
// little time. Small pieces are digested one after the other: handing them over would
// cost more than it saves.
#include "download/file_digests.h"

#include <condition_variable>
#include <mutex>
#include <system_error>
#include <thread>

namespace {
constexpr size_t kSidePieceMinimum = 64 * 1024;
}

// One helper thread that digests a piece into a Sha256 while the caller works.
class FileDigests::SideThread {
 public:
  SideThread() : thread_([this] { run(); }) {}
  ~SideThread() {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      quit_ = true;
    }
    wake_.notify_one();
    thread_.join();
  }

  void start(Sha256* target, const void* data, size_t length) {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      target_ = target;
      data_ = data;
      length_ = length;
    }
    wake_.notify_one();
  }

  void waitUntilDone() {
    std::unique_lock<std::mutex> lock(mutex_);
    done_.wait(lock, [this] { return target_ == nullptr; });
  }

 private:
  void run() {
    std::unique_lock<std::mutex> lock(mutex_);
    for (;;) {
      wake_.wait(lock, [this] { return quit_ || target_ != nullptr; });
      if (quit_) return;
      lock.unlock();
      target_->update(data_, length_);
      lock.lock();
      target_ = nullptr;
      done_.notify_one();
    }
  }

  std::mutex mutex_;
  std::condition_variable wake_, done_;
  Sha256* target_ = nullptr;  // the piece's target while one is handed over
  const void* data_ = nullptr;
  size_t length_ = 0;
  bool quit_ = false;
  std::thread thread_;  // last: started once the members above exist
};

FileDigests::FileDigests(bool withSha256)
    : withSha256_(withSha256), sideThreadWorthIt_(std::thread::hardware_concurrency() >= 2) {}

FileDigests::~FileDigests() = default;

void FileDigests::update(const void* data, size_t length) {
  if (!withSha256_) {
    md5_.add(data, length);
    return;
  }
  if (length >= kSidePieceMinimum && !side_ && sideThreadWorthIt_) {
    try {
      side_ = std::make_unique<SideThread>();
    } catch (const std::system_error&) {  // no thread to be had: one after the other
      sideThreadWorthIt_ = false;
    }
  }
  if (length < kSidePieceMinimum || !side_) {
    md5_.add(data, length);
    sha256_.update(data, length);
    return;
  }
  side_->start(&sha256_, data, length);
  md5_.add(data, length);
  side_->waitUntilDone();
}

FileDigestResult FileDigests::finish() {
  FileDigestResult result;
  md5_.finish(result.md5);
  md5_ = DigestStream();
  if (withSha256_) result.sha256 = sha256_.finish();
  return result;
}

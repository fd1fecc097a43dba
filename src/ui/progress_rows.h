// The rows of the installation progress control. Worker threads update rows while
// the main thread paints them, without a lock: every field a paint reads is an
// atomic value (a 64-bit byte count, a 32-bit state, a pointer), a row's texts are
// written before its state makes it visible, and a new set of rows is published in
// one pointer store, so a paint sees either the old rows with the old count or the
// new ones with theirs.
#pragma once
#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

struct ProgressRow {
  char name[256] = {};
  char path[256] = {};
  std::atomic<int64_t> value{0};    // bytes: files may pass 4 GiB
  std::atomic<int64_t> maximum{0};
  std::atomic<int32_t> state{0};
  std::atomic<void*> key{nullptr};
};

// One generation of rows: the count travels with its array.
struct ProgressRowSet {
  explicit ProgressRowSet(int32_t count);
  const int32_t count;
  std::unique_ptr<ProgressRow[]> rows;
};

class ProgressRows {
 public:
  ProgressRows();
  // Replaces the rows by count empty ones (state 0); a negative count gives none.
  void setCount(int32_t count);
  int32_t count() const { return current()->count; }
  // The rows as one consistent snapshot (valid for the life of this object).
  const ProgressRowSet* current() const { return current_.load(std::memory_order_acquire); }

  // Texts longer than 255 bytes are cut to 255. Value 0, state 1.
  void set(int32_t index, const char* name, const char* path, int64_t maximum, void* key);
  int32_t find(const void* key) const;
  void setValue(int32_t index, int64_t value);  // at most the maximum, at least 0
  void setState(int32_t index, int32_t state);  // state 6 also fills the row
  int32_t state(int32_t index) const;           // 0 for an index out of range

 private:
  ProgressRow* row(int32_t index) const;

  std::atomic<const ProgressRowSet*> current_;
  // Every generation stays alive: a paint may still read a replaced one.
  std::mutex generationsLock_;
  std::vector<std::unique_ptr<ProgressRowSet>> generations_;
};

// The state whose picture is the hard disk: the file was already there and sound.
constexpr int32_t kRowStatePresent = 6;

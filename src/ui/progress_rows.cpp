#include "ui/progress_rows.h"

#include <algorithm>
#include <cstring>

namespace {
void copyText(char (&field)[256], const char* text) {
  size_t length = text ? std::strlen(text) : 0;
  length = std::min(length, sizeof field - 1);
  if (length) std::memcpy(field, text, length);
  field[length] = '\0';
}
}  // namespace

ProgressRowSet::ProgressRowSet(int32_t count)
    : count(count), rows(count > 0 ? new ProgressRow[count] : nullptr) {}

ProgressRows::ProgressRows() {
  generations_.push_back(std::make_unique<ProgressRowSet>(0));
  current_.store(generations_.back().get(), std::memory_order_release);
}

void ProgressRows::setCount(int32_t count) {
  auto fresh = std::make_unique<ProgressRowSet>(std::max<int32_t>(count, 0));
  const ProgressRowSet* published = fresh.get();
  {
    std::lock_guard<std::mutex> guard(generationsLock_);
    generations_.push_back(std::move(fresh));
  }
  current_.store(published, std::memory_order_release);
}

ProgressRow* ProgressRows::row(int32_t index) const {
  const ProgressRowSet* set = current();
  if (index < 0 || index >= set->count) return nullptr;
  return &set->rows[index];
}

void ProgressRows::set(int32_t index, const char* name, const char* path, int64_t maximum,
                       void* key) {
  ProgressRow* r = row(index);
  if (!r) return;
  copyText(r->name, name);
  copyText(r->path, path);
  r->maximum.store(maximum, std::memory_order_relaxed);
  r->value.store(0, std::memory_order_relaxed);
  r->key.store(key, std::memory_order_relaxed);
  r->state.store(1, std::memory_order_release);  // last: the row shows complete texts
}

int32_t ProgressRows::find(const void* key) const {
  const ProgressRowSet* set = current();
  for (int32_t i = 0; i < set->count; ++i) {
    if (set->rows[i].key.load(std::memory_order_relaxed) == key) return i;
  }
  return -1;
}

void ProgressRows::setValue(int32_t index, int64_t value) {
  ProgressRow* r = row(index);
  if (!r) return;
  int64_t maximum = r->maximum.load(std::memory_order_relaxed);
  r->value.store(std::max<int64_t>(0, std::min(value, maximum)), std::memory_order_relaxed);
}

void ProgressRows::setState(int32_t index, int32_t state) {
  ProgressRow* r = row(index);
  if (!r) return;
  if (state == kRowStatePresent) r->value.store(r->maximum.load(), std::memory_order_relaxed);
  r->state.store(state, std::memory_order_release);
}

int32_t ProgressRows::state(int32_t index) const {
  ProgressRow* r = row(index);
  return r ? r->state.load(std::memory_order_acquire) : 0;
}

// Reading settings files line by line from a byte source, and loading them into a
// settings list. The Windows file functions (settings_services.h) feed these from
// a file handle; tests and fuzzing feed them from memory.
#pragma once
#include <cstddef>
#include <string>
#include <utility>

#include "download/record_list.h"

constexpr size_t kSettingsLineSize = 256;  // a line buffer, terminator included

// Bytes one at a time, with one byte of look-back to tell CR LF from a lone CR.
class SettingsByteSource {
 public:
  virtual ~SettingsByteSource() = default;
  virtual bool readByte(char& byte) = 0;  // false at the end (a read error ends it too)
  virtual void unreadByte() = 0;          // the next readByte yields the last byte again
};

class MemoryByteSource : public SettingsByteSource {
 public:
  explicit MemoryByteSource(std::string bytes) : bytes_(std::move(bytes)) {}
  bool readByte(char& byte) override;
  void unreadByte() override;
  size_t position() const { return position_; }

 private:
  std::string bytes_;
  size_t position_ = 0;
};

// Reads one line into `line` (kSettingsLineSize characters): up to a CR, LF or CR LF,
// which is consumed and not stored. Characters beyond 255 are read and dropped.
// False when the bytes ended before a terminator; what was read is still delivered.
bool readSettingsLineFrom(SettingsByteSource& source, char* line);

// Every line with "=" as a SettingsEntry, in order; the last, unterminated line too.
// The list and its entries are never released (they live as long as the process).
RecordNode* loadSettingsFrom(SettingsByteSource& source);

// Frees a list that loadSettingsFrom built, entries and nodes. The program keeps its
// lists to the end; tests and the fuzz target give theirs back.
void releaseSettingsList(RecordNode* list);

#include "engine/settings_reader.h"

#include "engine/settings_entry.h"

bool MemoryByteSource::readByte(char& byte) {
  if (position_ >= bytes_.size()) return false;
  byte = bytes_[position_++];
  return true;
}

void MemoryByteSource::unreadByte() {
  if (position_ > 0) --position_;
}

bool readSettingsLineFrom(SettingsByteSource& source, char* line) {
  size_t length = 0;
  char byte = 0;
  bool terminated = false;
  while (source.readByte(byte)) {
    if (byte == '\r' || byte == '\n') {
      terminated = true;
      break;
    }
    if (length < kSettingsLineSize - 1) line[length++] = byte;
  }
  line[length] = '\0';
  if (!terminated) return false;

  // Only the LF of a CR LF pair belongs to this line; any other byte starts the next.
  char next = 0;
  if (byte == '\r' && source.readByte(next) && next != '\n') source.unreadByte();
  return true;
}

RecordNode* loadSettingsFrom(SettingsByteSource& source) {
  RecordNode* list = nullptr;
  char line[kSettingsLineSize];
  bool more = true;
  while (more) {
    more = readSettingsLineFrom(source, line);
    SettingsEntry entry;
    if (parseSettingsLine(line, entry)) list = listAppend(list, new SettingsEntry(entry));
  }
  return list;
}

void releaseSettingsList(RecordNode* list) {
  while (list) {
    RecordNode* next = list->next;
    delete static_cast<SettingsEntry*>(list->item);
    delete list;
    list = next;
  }
}

#include "engine/settings_services.h"

#include "win32/handles.h"

namespace {

class FileByteSource : public SettingsByteSource {
 public:
  explicit FileByteSource(HANDLE file) : file_(file) {}

  bool readByte(char& byte) override {
    DWORD got = 0;
    return ReadFile(file_, &byte, 1, &got, nullptr) && got == 1;
  }

  // The library keeps reading the same handle: the look-back byte goes back to the file.
  void unreadByte() override { SetFilePointer(file_, -1, nullptr, FILE_CURRENT); }

 private:
  HANDLE file_;
};

}  // namespace

bool readSettingsLine(HANDLE file, char* line) {
  FileByteSource source(file);
  return readSettingsLineFrom(source, line);
}

RecordNode* loadSettings(const char* fileName) {
  KernelHandle file(CreateFileA(fileName, GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return nullptr;
  FileByteSource source(file.get());
  return loadSettingsFrom(source);
}

namespace {
const RecordNode* asRecordList(const QuorvaneSettingsList* list) {
  return reinterpret_cast<const RecordNode*>(list);
}
}  // namespace

unsigned char QUORVANE_CALL readSettingsLineService(HANDLE file, char* line) {
  return readSettingsLine(file, line) ? 1 : 0;
}

QuorvaneSettingsList* QUORVANE_CALL loadSettingsService(const char* fileName) {
  return reinterpret_cast<QuorvaneSettingsList*>(loadSettings(fileName));
}

const char* QUORVANE_CALL findSettingService(const QuorvaneSettingsList* list, const char* key,
                                             unsigned char upperCased) {
  return findSetting(asRecordList(list), key, upperCased != 0);
}

int32_t QUORVANE_CALL findSettingNumberService(const QuorvaneSettingsList* list,
                                               const char* key) {
  return findSettingNumber(asRecordList(list), key);
}

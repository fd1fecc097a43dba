#include "engine/engine_utilities.h"

#include <cstring>

#include "download/text_field.h"
#include "engine/engine_console.h"
#include "engine/engine_state.h"
#include "engine/engine_texts.h"
#include "services/message_box.h"
#include "win32/file_time.h"
#include "win32/system_error_text.h"

bool createDirectoryLogged(const char* path) {
  consoleReport("Creating directory ", path, false, false);
  bool created = CreateDirectoryA(path, nullptr) != 0;
  consolePrintError(created ? " OK \n" : " Fail !\n");
  return created;
}

DownloadRootLevels downloadRootLevels() {
  char temporary[MAX_PATH + 1] = "";
  GetTempPathA(sizeof temporary, temporary);
  DownloadRootLevels levels;
  formatDownloadRoot(temporary, g_productName, levels);
  return levels;
}

std::string windowsErrorText(DWORD code, const std::string& fileName) {
  const std::string systemText = systemErrorText(code, fileName);
  if (systemText.empty()) return "Unkown Error";
  return formatWindowsErrorText(static_cast<int>(code), systemText.c_str());
}

unsigned char QUORVANE_CALL registerRelatedFile(const QuorvaneRelatedFile* file) {
  const char* localPath = file->localPath ? file->localPath : "";
  const char* uri = file->uri;
  // A path or name cut to fit would name another file: such a registration is refused.
  if (std::strlen(localPath) >= sizeof FileRecord::localPath ||
      (uri && std::strlen(uri) >= sizeof FileRecord::name)) {
    consolePrintError(("[reffileadded] refused, path too long: " + std::string(localPath) + "\n").c_str());
    return 0;
  }
  FileRecord* record = new FileRecord{};  // zero-filled, kept until the process ends
  copyCut(record->localPath, sizeof record->localPath, localPath);
  if (uri) copyCut(record->name, sizeof record->name, uri);

  // The local time, taken as if it were universal time.
  SYSTEMTIME now;
  GetLocalTime(&now);
  FILETIME time;
  SystemTimeToFileTime(&now, &time);
  record->lastWriteTime = fileTimeValue(time);

  consoleReport("[reffileadded]", relatedFileDetail(uri, localPath).c_str(), false, true);
  g_fileList = listAppend(g_fileList, record);
  return 1;
}

int QUORVANE_CALL libraryMessageBox(const char* text, UINT style) {
  return showMessageBox(g_mainWindow, text, "Installer's ZenTrav", style);
}

#include "engine/engine_texts.h"

#include <cstring>

std::string formatWindowsErrorText(long code, const char* systemText) {
  std::string text = "Error Windows n\xB0" + std::to_string(code) + "\n";
  const char* end = std::strchr(systemText, '\r');
  text.append(systemText, end ? static_cast<size_t>(end - systemText) : std::strlen(systemText));
  return text;
}

std::string relatedFileDetail(const char* uri, const char* localPath) {
  return std::string("Uri(") + (uri ? uri : "(null)") + "):RelatedFile(" +
         (localPath ? localPath : "(null)") + ")";
}

std::string digestReportText(const std::vector<std::string>& localPaths,
                             const char* supportAddress) {
  std::string text = "File below downloaded has incorrect CRC  : \n";
  for (const std::string& path : localPaths) text += path + "\n";
  text += "\nPlease retry download , If the problem persists, then thank you contact  ";
  text += supportAddress ? supportAddress : "";
  return text;
}

std::string packageRefusalText(const std::string& reason, const char* logPath) {
  return "Installation package refused :\n" + reason + "\nNothing was installed.\nLog file : " +
         (logPath && *logPath ? logPath : "none");
}

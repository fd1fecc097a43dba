#include "net/http_request.h"

void putHeader(HeaderLines& lines, const std::string& name, const std::string& value) {
  std::string line = name + ": " + value + "\r\n";
  for (std::string& existing : lines) {
    if (existing.compare(0, name.size(), name) == 0) {
      existing = line;
      return;
    }
  }
  lines.push_back(line);
}

std::string requestText(const std::string& method, const std::string& target,
                        const HeaderLines& lines) {
  std::string text = method + " " + target + " HTTP/1.1\r\n";
  for (const std::string& line : lines) text += line;
  text += "\r\n";
  return text;
}

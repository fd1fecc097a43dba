#include "win32/system_error_text.h"

#include <cctype>
#include <memory>

namespace {

struct LocalFreer {
  void operator()(char* text) const { LocalFree(text); }
};

// "%1" to "%99", with the printf format some texts give in "!...!", is an insert.
// Other escapes are left as the system gave them.
std::string fillInserts(const std::string& text, const std::string& insert) {
  std::string filled;
  size_t at = 0;
  while (at < text.size()) {
    const bool escape = text[at] == '%' && at + 1 < text.size();
    if (!escape || text[at + 1] < '1' || text[at + 1] > '9') {
      filled += text[at++];
      continue;
    }
    size_t end = at + 2;
    if (end < text.size() && std::isdigit(static_cast<unsigned char>(text[end]))) ++end;
    if (end < text.size() && text[end] == '!') {
      const size_t close = text.find('!', end + 1);
      if (close != std::string::npos) end = close + 1;
    }
    filled += insert;
    at = end;
  }
  return filled;
}

}  // namespace

std::string systemErrorText(DWORD code, const std::string& insert) {
  char* buffer = nullptr;
  // The inserts are filled here: FormatMessage would read arguments nobody gave.
  const DWORD length = FormatMessageA(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code,
      MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), reinterpret_cast<char*>(&buffer), 0, nullptr);
  const std::unique_ptr<char, LocalFreer> owned(buffer);
  if (length == 0 || !buffer) return std::string();
  return fillInserts(std::string(buffer, length), insert);
}

std::string systemErrorLine(DWORD code, const std::string& insert) {
  std::string text = systemErrorText(code, insert);
  while (!text.empty() && (text.back() == '\r' || text.back() == '\n' || text.back() == ' ')) text.pop_back();
  return text;
}

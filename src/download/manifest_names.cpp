#include "download/manifest_names.h"

#include <cstdio>
#include <cstring>
#include <initializer_list>

#include "download/partial_record.h"

namespace {
bool isSeparator(char c) { return c == '\\' || c == '/'; }

bool isControl(unsigned char c) { return c < 0x20 || c == 0x7f; }

char upper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

// Windows drops trailing dots and spaces from a path component, so any component made
// only of dots and spaces with two dots or more climbs to the parent.
bool climbsToParent(const char* begin, const char* end) {
  int dots = 0;
  for (const char* c = begin; c != end; ++c) {
    if (*c == '.') {
      ++dots;
    } else if (*c != ' ') {
      return false;
    }
  }
  return dots >= 2;
}

// Windows opens a device, not a file, for a component named CON, PRN, AUX, NUL, COM1 to
// COM9 or LPT1 to LPT9 (the superscript digits 1, 2 and 3 of the ANSI code page
// included), with or without an extension. The device's name, or empty.
std::string deviceNamed(const char* begin, const char* end) {
  const char* stem = begin;
  while (stem != end && *stem != '.') ++stem;
  while (stem != begin && stem[-1] == ' ') --stem;
  const size_t n = static_cast<size_t>(stem - begin);
  if (n < 3 || n > 4) return {};
  std::string device(begin, n);
  for (char& c : device) c = upper(c);
  for (const char* name : {"CON", "PRN", "AUX", "NUL"}) {
    if (device == name) return device;
  }
  const unsigned char digit = static_cast<unsigned char>(device.back());
  const bool numbered = n == 4 && (device.compare(0, 3, "COM") == 0 || device.compare(0, 3, "LPT") == 0);
  if (numbered && ((digit >= '1' && digit <= '9') || digit == 0xB9 || digit == 0xB2 || digit == 0xB3))
    return device;
  return {};
}

// Windows drops a trailing dot or space of a component ("a." writes "a"), so the file
// written would not be the one named. A lone "." stays: it names the directory itself.
bool endsShortened(const char* begin, const char* end) {
  if (end == begin || (end - begin == 1 && *begin == '.')) return false;
  return end[-1] == '.' || end[-1] == ' ';
}

// Why one component cannot be written as named, or empty.
std::string componentFault(const char* begin, const char* end) {
  if (climbsToParent(begin, end))
    return "unsafe name: \"..\", or what Windows reads as \"..\", leaves the download folder";
  const std::string device = deviceNamed(begin, end);
  if (!device.empty()) return "device name: Windows opens the device " + device + ", not a file";
  if (endsShortened(begin, end))
    return "unsafe name: a part ends in a dot or a space, which Windows drops, so it would be "
           "written under another name";
  if (isPartialFileName(begin, end))
    return "reserved name: names ending in \".~vm\" or \".~vr\" are the installer's own, for files on "
           "their way";
  return {};
}
}  // namespace

std::string forbiddenCharacterFault(unsigned char c) {
  char shown[40];
  if (isControl(c)) std::snprintf(shown, sizeof shown, "control character 0x%02X", c);
  else std::snprintf(shown, sizeof shown, "'%c'", c);
  return std::string("forbidden character: ") + shown + ", which Windows does not allow in a name";
}

std::string nameFault(const std::string& name) {
  if (name.empty()) return "an empty name";
  for (unsigned char c : name) {
    if (isControl(c) || std::strchr("<>:\"|?*", c)) return forbiddenCharacterFault(c);
  }
  if (isSeparator(name[0])) return "unsafe name: it starts at the top of a drive, outside the download folder";
  const char* component = name.c_str();
  for (const char* c = component;; ++c) {
    if (*c == '\0' || isSeparator(*c)) {
      std::string fault = componentFault(component, c);
      if (!fault.empty() || *c == '\0') return fault;
      component = c + 1;
    }
  }
}

bool fitsUnderRoot(const char* root, const char* name, size_t fieldSize) {
  return std::strlen(root) + 1 + std::strlen(name) < fieldSize;
}

const std::string* NameCollisions::add(const std::string& name) {
  std::string folded = name;
  for (char& c : folded) c = c == '/' ? '\\' : upper(c);
  if (!folded.empty() && folded.back() == '\\') folded.pop_back();
  auto placed = seen_.emplace(folded, name);
  return placed.second ? nullptr : &placed.first->second;
}

std::string duplicateFault(const std::string& earlier) {
  return "duplicate: Windows takes it for the same name as " + printableName(earlier);
}

std::string printableName(const std::string& name) {
  std::string shown;
  for (unsigned char c : name) {
    if (isControl(c)) {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\x%02X", c);
      shown += escaped;
    } else {
      shown += static_cast<char>(c);
    }
  }
  return shown;
}

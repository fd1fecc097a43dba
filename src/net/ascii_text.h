// Letter case and hex digits of protocol text: only the ASCII letters A to Z have a
// case, whatever the locale, and every other byte compares as it is.
#pragma once
#include <cstddef>
#include <string>

char lower(char c);
std::string lowered(std::string text);
// The value of a hex digit in either case; -1 for any other character.
int hexValue(char c);
bool equalsNoCase(const std::string& a, const std::string& b);
// Whether `text` (size bytes) begins with `prefix` in any case.
bool startsWithNoCase(const char* text, size_t size, const char* prefix);
bool startsWithNoCase(const std::string& text, const char* prefix);

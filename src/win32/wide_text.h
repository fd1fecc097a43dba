// Text between the program's narrow strings (the system's ANSI code page) and the
// wide strings some Windows calls take and give.
#pragma once
#include <string>

// The text as a wide string; an unconvertible text gives an empty one.
std::wstring wide(const std::string& text);
// The text as a narrow string; null or an unconvertible text gives an empty one.
std::string narrow(const wchar_t* text);

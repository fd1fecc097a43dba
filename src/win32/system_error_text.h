// The system's text for a Windows error code (FormatMessage).
#pragma once
#include <windows.h>

#include <string>

// The text as the system words it, usually one line ending in CR LF; empty when the
// system has none. Some texts name a file through an insert ("Bad EXE format for
// %1."): every insert is filled with `insert`, so none reaches the user as "%1".
std::string systemErrorText(DWORD code, const std::string& insert = std::string());

// The same without the line end and trailing spaces.
std::string systemErrorLine(DWORD code, const std::string& insert = std::string());

// Screenshots taken from the screen itself (under Xvfb, where another program's
// windows can be read back): the area that a set of windows covers, saved as a
// 24-bit BMP once it has stopped changing.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

// The smallest rectangle holding every window, with a margin, kept on the screen.
RECT areaOf(const std::vector<HWND>& windows, int margin);

// Grabs the area until two grabs in a row are equal (the windows have painted;
// at most `settleMs`), then writes it to `path`.
bool saveScreenArea(const RECT& area, const std::string& path, int settleMs = 2000);

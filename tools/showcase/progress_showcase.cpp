// Shows the progress control with a row in each of its six states, and the
// activity control, in a window of their own (for the screenshots).
//   progress_showcase.exe <ready file> [seconds]
// writes the window's screen rectangle ("WxH+X+Y") into the ready file once it has
// painted, and closes itself after that many seconds (default 30).
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "ui/chinstall.h"
#include "ui/cidle.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int) {
  std::string readyFile = commandLine ? commandLine : "";
  int seconds = 30;
  size_t space = readyFile.find(' ');
  if (space != std::string::npos) {
    seconds = std::atoi(readyFile.c_str() + space + 1);
    readyFile.resize(space);
  }
  Window::registerControlClass("VelmorinShowcase");
  HWND frame = CreateWindowExA(0, "VelmorinShowcase", "Installation progress", WS_OVERLAPPED | WS_CAPTION |
                               WS_SYSMENU | WS_VISIBLE, 40, 40, 760, 330, nullptr, nullptr,
                               instance, nullptr);
  cidle idle;
  RECT idleRect = {560, 10, 560 + 117, 10 + 20};
  idle.create("GPR_INSTALL", "Customgrp", WS_VISIBLE, idleRect, frame, 1009);
  SetTimer(idle.hwnd(), 3000, 600, nullptr);

  chinstall progress;
  progress.loadStateBitmaps(instance, 130, 131, 133, 132, 129, 134);
  RECT rect = {5, 40, 740, 40 + 6 * 32 + 8};
  progress.create(0x10A00000, rect, frame, 2500);
  struct Row {
    const char* name;
    int maximum, value, state;
  } rows[6] = {
      {"moorz2.exe", 1048576, 0, 1},        {"data\\maps\\marsh.map", 409600, 163840, 2},
      {"data\\sounds.pak", 2097152, 524288, 3}, {"data\\textures.pak", 3145728, 3145728, 4},
      {"setupzentrav.dll", 262144, 262144, 5},  {"readme.txt", 4096, 0, 6},
  };
  static int keys[6];
  progress.setRowCount(6);
  for (int i = 0; i < 6; ++i) {
    char path[256];
    wsprintfA(path, "C:\\users\\me\\Temp\\\\Quorvane\\Downloaded\\Moor-Z2\\%s", rows[i].name);
    progress.setRow(i, rows[i].name, path, rows[i].maximum, &keys[i]);
    progress.setRowValue(i, rows[i].value);
    progress.setRowState(i, rows[i].state);
  }
  RedrawWindow(frame, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
  RECT shown;
  GetWindowRect(frame, &shown);
  if (FILE* ready = readyFile.empty() ? nullptr : std::fopen(readyFile.c_str(), "w")) {
    std::fprintf(ready, "%ldx%ld+%ld+%ld\n", shown.right - shown.left, shown.bottom - shown.top,
                 shown.left, shown.top);
    std::fclose(ready);
  }

  SetTimer(nullptr, 0, static_cast<UINT>(seconds) * 1000, nullptr);
  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
    if (msg.message == WM_TIMER && msg.hwnd == nullptr) break;  // time is up
    if (msg.message == WM_CLOSE) break;
    DispatchMessageA(&msg);
  }
  return 0;
}

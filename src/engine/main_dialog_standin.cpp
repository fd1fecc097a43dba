#include "engine/main_dialog_standin.h"

#include <cstdio>

#include "app/main_window.h"
#include "download/install_descriptor.h"
#include "resources/resource_ids.h"

CvelmorinDlgStandIn::CvelmorinDlgStandIn() : Dialog(IDD_MAIN, nullptr) {}

BOOL CvelmorinDlgStandIn::onInitDialog() {
  g_mainWindow = hwnd();
  HICON icon = LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDI_VELMORIN));
  SendMessageA(hwnd(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
  SendMessageA(hwnd(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
  attachItem(activity_, 1009);
  SetTimer(activity_.hwnd(), 3000, 600, nullptr);
  char title[260];
  std::snprintf(title, sizeof title, "Install %s by Internet. %s %s", g_productName, __DATE__,
                __TIME__);
  SetWindowTextA(hwnd(), title);
  return TRUE;
}

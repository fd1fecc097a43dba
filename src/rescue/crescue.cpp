#include "rescue/crescue.h"

#include <string>

#include "download/install_descriptor.h"
#include "engine/engine_console.h"
#include "engine/engine_state.h"
#include "engine/installer_start.h"
#include "engine/package_folder_check.h"
#include "engine/package_signature.h"
#include "rescue/rescue_finish.h"
#include "resources/resource_ids.h"
#include "services/install_log.h"
#include "services/main_window.h"
#include "ui/cbegin.h"

namespace {
constexpr int kWelcomeText = 1013;
constexpr int kStartButton = 1000;
constexpr int kConsole = 1008;
}  // namespace

crescue::crescue() : Dialog(IDD_RESCUE, nullptr) {
  onCommand(kStartButton, [this] { start(); });
}

BOOL crescue::onInitDialog() {
  g_mainWindow = hwnd();
  openLog(hwnd());
  prepareConsole();
  loadPublisherKey();
  setTexts();
  HICON icon = LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDI_VELMORIN));
  SendMessageA(hwnd(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
  SendMessageA(hwnd(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
  return TRUE;
}

void crescue::onCancel() {
  if (!restoring_) endDialog(IDCANCEL);
}

void crescue::prepareConsole() {
  prepareEngineConsole(item(kConsole), "Welcome in rescue installation program\n");
}

void crescue::setTexts() {
  const std::string product = g_productName;
  SetWindowTextA(hwnd(), ("Rescue setup of " + product).c_str());
  const std::string welcome =
      "Welcome in the rescue setup of scenario '" + product + "'.\n"
      "It installs '" + product + "' again from the package kept in this directory:\n" +
      g_downloadRoot + "\n\nPress Start to read the licence and restore the scenario.";
  SetDlgItemTextA(hwnd(), kWelcomeText, welcome.c_str());
}

// The licence page first (leaving it ends the program), then, with a publisher key,
// the whole package checked offline, then the installer library.
void crescue::start() {
  restoring_ = true;
  EnableWindow(item(kStartButton), FALSE);
  EnableWindow(item(IDCANCEL), FALSE);
  ShowWindow(hwnd(), SW_HIDE);
  cbegin licence;
  const INT_PTR accepted = licence.doModal();
  ShowWindow(hwnd(), SW_SHOW);
  const std::string library = std::string(g_downloadRoot) + "\\" + g_libraryName;
  if (accepted == IDOK && g_packageSignature.required) requireVerifiedPackageFolder(g_downloadRoot);
  if (accepted == IDOK && startInstallerLibrary(hwnd(), library.c_str(), &finishRestore)) return;

  restoring_ = false;
  SetDlgItemTextA(hwnd(), kStatusLine, "");
  EnableWindow(item(kStartButton), TRUE);
  EnableWindow(item(IDCANCEL), TRUE);
}

#include "engine/library_launch.h"

#include <cstdio>

#include "engine/engine_state.h"
#include "engine/installer_start.h"
#include "engine/main_window_controls.h"
#include "engine/rescue_package.h"
#include "framework/app_name.h"
#include "services/message_box.h"

namespace {

bool confirmLaunch(HWND mainWindow) {
  return showMessageBox(mainWindow,
                        "Base Download finished,\nNEVER DISCONNECT INTERNET NOW !!!\nConfirme launch install",
                        applicationName(), MB_ICONWARNING | MB_YESNO | MB_SYSTEMMODAL) == IDYES;
}

// A declined or failed launch gives the run back: button 1000 starts it all again.
void enableRunButtons() {
  enableDownloadButton(true);
  enableExitButton(true);
}

}  // namespace

void offerInstallerLaunch(HWND mainWindow) {
  setStatusLine("Downloading recent installation finished !");
  if (!confirmLaunch(mainWindow)) {
    enableRunButtons();
    return;
  }
  char path[512];  // root and name hold at most 255 characters each
  std::snprintf(path, sizeof path, "%s\\%s", g_downloadRoot, g_libraryName);
  if (!startInstallerLibrary(mainWindow, path, &finishInstallation)) enableRunButtons();
}

#include "rescue/rescue_finish.h"

#include <windows.h>

#include "app/exit_guard.h"
#include "app/install_log.h"
#include "app/main_window.h"
#include "app/message_box.h"
#include "engine/engine_console.h"
#include "engine/main_window_controls.h"
#include "framework/app_name.h"

namespace {
constexpr UINT kRunEndedExitCode = 512;
}

void finishRestore(bool succeeded) {
  if (succeeded) {
    consolePrint("Installation finished.");
    showMessageBox(g_mainWindow, "Installation finished.", applicationName(),
                   MB_ICONINFORMATION | MB_SYSTEMMODAL);
  } else {
    consolePrintError("Installation failure.");
    showMessageBox(g_mainWindow, "Installation failure.", applicationName(),
                   MB_ICONERROR | MB_SYSTEMMODAL);
  }
  setStatusLine("End ...");
  askViewLog(g_mainWindow);
  armExitGuard(kRunEndedExitCode, 5000);
  ExitProcess(kRunEndedExitCode);
}

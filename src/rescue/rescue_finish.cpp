#include "rescue/rescue_finish.h"

#include "engine/main_window_controls.h"
#include "engine/rescue_package.h"
#include "services/install_log.h"
#include "services/main_window.h"
#include "services/process_exit.h"

void finishRestore(bool succeeded) {
  reportInstallationResult(succeeded);
  setStatusLine("End ...");
  askViewLog(g_mainWindow);
  endProcess(kExitRunEnded);
}

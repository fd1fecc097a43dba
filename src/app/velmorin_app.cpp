#include "app/velmorin_app.h"

#include <commctrl.h>

#include "app/install_mode.h"
#include "console/console.h"
#include "download/download_errors.h"
#include "engine/main_dialog.h"
#include "services/message_box.h"
#include "services/process_exit.h"
#include "ui/cbegin.h"
#include "ui/cdialmode.h"

const char kInstanceMutexName[] = "quorvane.com.install";
CvelmorinApp theApp;

bool CvelmorinApp::initInstance() {
  startExitGuard();
  INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_WIN95_CLASSES};  // all eight classic classes
  InitCommonControlsEx(&controls);

  if (OpenMutexA(MUTEX_ALL_ACCESS, TRUE, kInstanceMutexName)) {
    showUtilityError("Setup Internet Install is already runned\nInstallation aborted");
    return false;
  }
  // Never closed: the mutex lives as long as this copy runs.
  CreateMutexA(nullptr, FALSE, kInstanceMutexName);

  if (!askConfirmation(nullptr,
                       "Installation setup require a internet connexion for downloading this "
                       "product\nDo you have internet connexion ?")) {
    showUtilityError("Installation aborted");
    return false;
  }

  // The program keeps no settings of its own, so nothing else is set up here.
  LoadLibraryA("riched20.dll");  // provides the licence page's "RichEdit20A"
  registerConsoleClasses(GetModuleHandleA(nullptr));

  cbegin licence;
  if (licence.doModal() != IDOK) return false;
  cdialmode modes;
  if (modes.doModal() != IDOK) return false;

  CvelmorinDlg main;
  int mode = chooseInstallMode(modes.singleComputer, modes.multipleComputers, modes.fromDirectory);
  if (mode < 0) return false;
  main.installMode = static_cast<unsigned char>(mode);

  mainWindow = &main;
  INT_PTR result = main.doModal();
  // Worker threads may have been terminated anywhere, holding locks that an orderly
  // exit would wait for: the process ends at once.
  if (result == IDOK) endProcessNow(kExitStopped);
  if (result == IDCANCEL) endProcessNow(kExitClosed);
  return false;
}

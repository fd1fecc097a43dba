// Entry point of an installer: everything happens in the application object's
// initialisation; when it gives up, the process ends normally with exit code 0.
#include <windows.h>

#include "app/velmorin_app.h"
#include "download/install_descriptor.h"
#include "engine/engine_state.h"
#include "services/process_exit.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  // The product's server and support address, as this installer was built.
  g_downloadHost = VELMORIN_INSTALLER_HOST;
  g_supportAddress = VELMORIN_INSTALLER_SUPPORT;
  theApp.initInstance();
  return static_cast<int>(kExitClosed);
}

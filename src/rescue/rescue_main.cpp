// Entry point of the rescue setup program (setup.exe of a rescue package): it
// restores its product from the package directory it sits in, with the product's
// installer library, after the same licence page as the installer. It carries the
// product's descriptor and documents, as the installer that wrote it did.
#include <windows.h>
#include <commctrl.h>

#include <cstring>

#include "console/console.h"
#include "download/descriptor_loader.h"
#include "download/install_descriptor.h"
#include "rescue/crescue.h"
#include "services/process_exit.h"

namespace {
// The directory of this program, without its trailing backslash: the package.
void usePackageDirectory() {
  char path[MAX_PATH] = "";
  const DWORD length = GetModuleFileNameA(nullptr, path, sizeof path);
  if (length == 0 || length >= sizeof path) return;
  char* slash = std::strrchr(path, '\\');
  if (slash) *slash = '\0';
  if (std::strlen(path) < sizeof g_downloadRoot) std::strcpy(g_downloadRoot, path);
}
}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  startExitGuard();
  INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_WIN95_CLASSES};
  InitCommonControlsEx(&controls);
  LoadLibraryA("riched20.dll");  // the licence page's "RichEdit20A"
  registerConsoleClasses(GetModuleHandleA(nullptr));
  loadInstallDescriptor();  // ends the program when there is none
  parseInstallDescriptor(g_descriptorText, g_descriptorLength);
  usePackageDirectory();

  crescue window;
  window.doModal();
  return static_cast<int>(kExitClosed);
}

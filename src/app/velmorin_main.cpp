// Entry point of velmorin.exe: everything happens in the application object's
// initialisation; when it gives up, the process ends normally with exit code 0.
#include <windows.h>

#include "app/velmorin_app.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  theApp.initInstance();
  return 0;
}

/* A library that is not the publisher's. Loaded by mistake, it leaves the file
   "tampered-library-loaded" in the temporary directory: the signed cases serve it in
   place of the sample library and look for that file. */
#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
  char path[MAX_PATH + 32];
  DWORD length = GetTempPathA(MAX_PATH, path);
  (void)instance;
  (void)reserved;
  if (reason == DLL_PROCESS_ATTACH && length > 0 && length < MAX_PATH) {
    lstrcatA(path, "tampered-library-loaded");
    CloseHandle(CreateFileA(path, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL));
  }
  return TRUE;
}

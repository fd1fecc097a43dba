/* An installer library for the launch tests: it checks every field of the record it
 * receives, on its own thread, against "expect.ini" in its download root, writes one
 * line per check to the file that names, and returns what RESULT says. Instead,
 * RESULT=crash writes to address 16, overflow recurses until the stack is exhausted,
 * exit ends the thread. */
#include <stdio.h>
#include <string.h>
#include <windows.h>

#include "quorvane_install.h"

static FILE* g_out;
static int g_failures;

static void check(int passed, const char* what) {
  fprintf(g_out, "%s %s\n", passed ? "ok" : "FAIL", what);
  if (!passed) ++g_failures;
}

static int same(const char* a, const char* b) { return a && b && strcmp(a, b) == 0; }

static int recurse(volatile char* caller, int depth) {
  volatile char frame[1024];
  frame[0] = caller[0];
  return depth < 0 ? 0 : recurse(frame, depth + 1) + frame[1];
}

QUORVANE_EXPORT unsigned char QUORVANE_CALL quorvane_install2(QuorvaneInstallArgs* args) {
  char path[MAX_PATH];
  snprintf(path, sizeof path, "%s\\expect.ini", args->downloadRoot);
  QuorvaneSettingsList* expect = args->loadSettings(path);
  g_out = fopen(args->findSetting(expect, "checks", 0), "w");
  if (!g_out) return 0;

  check(args->size == sizeof(QuorvaneInstallArgs), "size");
  check(same(args->productName, args->findSetting(expect, "product", 0)), "product name");
  check(same(args->downloadRoot, args->findSetting(expect, "root", 0)), "download root");
  check(args->mainWindow == (HWND)(INT_PTR)args->findSettingNumber(expect, "window"), "main window");
  check(GetWindowThreadProcessId(args->mainWindow, NULL) != GetCurrentThreadId(), "own thread");

  check(same(args->findSetting(expect, "name", 1), "VALUE"), "find setting upper-cased");
  check(same(args->findSetting(expect, "NAME", 0), "Value"), "find setting as written");
  check(same(args->findSetting(expect, "absent", 0), ""), "find setting absent");
  check(args->findSettingNumber(expect, "Count") == 12, "find setting number");
  check(args->findSettingNumber(expect, "absent") == 0, "find setting number absent");
  check(args->loadSettings("no such file.ini") == NULL, "load settings of a missing file");
  HANDLE file = CreateFileA(path, GENERIC_READ, 0, NULL, OPEN_EXISTING, 0, NULL);
  char line[256] = "";
  check(args->readSettingsLine(file, line) != 0 && same(line, "Name=Value"), "read settings line");
  check(args->readSettingsLine(file, line) != 0 && same(line, "COUNT=12"), "read next settings line");
  CloseHandle(file);

  args->setConsoleColor(2);
  args->consoleReport("library says", "hello", 1, 1);
  args->setConsoleColor(7);
  QuorvaneRelatedFile related = {sizeof related, args->findSetting(expect, "related", 0),
                                 "data\\extra.cfg"};
  check(args->registerRelatedFile(&related) == 1, "register related file");
  check(args->messageBox("Library question", MB_RETRYCANCEL | MB_ICONQUESTION) == IDRETRY,
        "message box answer");

  fclose(g_out);
  const char* result = args->findSetting(expect, "result", 0);
  volatile int* volatile nowhere = (volatile int*)(INT_PTR)16;
  if (same(result, "crash")) *nowhere = 1;
  if (same(result, "overflow")) return (unsigned char)recurse(line, 0);
  if (same(result, "exit")) ExitThread(0);
  return (unsigned char)(args->findSettingNumber(expect, "result") == 1 && g_failures == 0);
}

#include "engine/engine_console.h"

#include "console/console.h"
#include "engine/engine_state.h"
#include "net/connection_notes.h"

namespace {
constexpr int kScreen = 0;
constexpr int kRed = 4;
constexpr int kGrey = 7;

// What the transport says about a connection (its TLS version and proxy, or why it
// was refused), on a line of its own.
void printConnectionNote(ConnectionNote kind, const char* text) {
  consolePrint("\n");
  if (kind == ConnectionNote::refused)
    consolePrintError(text);
  else
    consolePrint(text);
}
}  // namespace

void prepareEngineConsole(HWND console, const char* welcome) {
  prepareInstallerScreen(console, kScreen);
  printText(console, kScreen, welcome);
  g_consoleWindow = console;
  setConnectionNoteSink(&printConnectionNote);
}

void consolePrint(const char* text) { printText(g_consoleWindow, kScreen, text); }

void consolePrintError(const char* text) {
  setTextColor(g_consoleWindow, kScreen, kRed);
  printText(g_consoleWindow, kScreen, text);
  setTextColor(g_consoleWindow, kScreen, kGrey);
}

void consoleReport(const char* text, const char* detail, bool newLineBefore, bool newLineAfter) {
  if (newLineBefore) consolePrint("\n");
  consolePrint(text);
  if (detail) {
    consolePrint(" ");
    consolePrint(detail);
  }
  if (newLineAfter) consolePrint("\n");
}

long long consoleSetColor(int colour) { return setTextColor(g_consoleWindow, kScreen, colour); }

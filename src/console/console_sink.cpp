// The sink functions: each packs its arguments into one console message; printText
// from another thread of this process writes the cells directly instead.
#include <string>

#include "console/console.h"
#include "console/console_state.h"
#include "services/install_log.h"

namespace {

LRESULT send(HWND console, UINT message, WPARAM wParam, LPARAM lParam = 0) {
  return SendMessageA(console, message, wParam, lParam);
}

WPARAM slotOf(int screen) { return static_cast<WPARAM>(screen & 0xFF); }

WPARAM paletteRange(int screen, int first, int last) {
  return slotOf(screen) | static_cast<WPARAM>(first & 0x0F) << 8 |
         static_cast<WPARAM>(last & 0x0F) << 16;
}

}  // namespace

bool createScreen(HWND console, int screen) {
  return send(console, kCreateScreen, slotOf(screen)) == screen;
}

LRESULT setFont(HWND console, int screen, int font) {
  return send(console, kSetFont, slotOf(screen) | static_cast<WPARAM>(font & 0xFF) << 8);
}

bool showScreen(HWND console, int screen) {
  return send(console, kShowScreen, slotOf(screen)) == screen;
}

std::uint16_t* getCellBuffer(HWND console, int screen) {
  return reinterpret_cast<std::uint16_t*>(send(console, kGetCellBuffer, slotOf(screen)));
}

LRESULT setCursor(HWND console, int screen, int column, int row) {
  return send(console, kSetCursor, slotOf(screen), (column & 0xFF) + static_cast<LPARAM>(row) * 256);
}

// Succeeds when the console answers with the screen (a failure is -1 or -2).
bool setCursorShape(HWND console, int screen, int firstLine, int lastLine) {
  return send(console, kSetCursorShape, slotOf(screen), (lastLine & 0xFF) | (firstLine & 0xFF) << 8) ==
         (screen & 0xFF);
}

LRESULT putCell(HWND console, int screen, int column, int row, std::uint16_t cell) {
  return send(console, kPutCell, slotOf(screen),
              (column & 0xFF) | (row & 0xFF) << 8 | static_cast<LPARAM>(cell) << 16);
}

LRESULT putCharAt(HWND console, int screen, int column, int row, unsigned char character,
                  unsigned char attribute) {
  return putCell(console, screen, column, row, static_cast<std::uint16_t>(attribute << 8 | character));
}

LRESULT putChar(HWND console, int screen, unsigned char character) {
  return send(console, kPutChar, slotOf(screen), character);
}

// The engine's workers print a line at a time: a cross-thread SendMessageA per line
// would cost them far more than the writing itself, so another thread of this
// process writes the cells directly under the console's lock. The text is in the
// cells when this returns, exactly as after the message.
LRESULT printText(HWND console, int screen, const char* text) {
  if (text) writeLogLine(text);
  DWORD process = 0;
  DWORD thread = GetWindowThreadProcessId(console, &process);
  if (thread != 0 && thread != GetCurrentThreadId() && process == GetCurrentProcessId())
    return printDirect(console, screen, text);
  return send(console, kPrintText, slotOf(screen), reinterpret_cast<LPARAM>(text));
}

void printWideText(HWND console, int screen, const wchar_t* text) {
  if (!text) return;
  std::string bytes;
  for (const wchar_t* p = text; *p; ++p) bytes += static_cast<char>(*p & 0xFF);
  printText(console, screen, bytes.c_str());
}

LRESULT clearScreen(HWND console, int screen) { return send(console, kClearScreen, slotOf(screen)); }

LRESULT pollKey(HWND console) { return send(console, kPollKey, 0); }

LRESULT setFreeze(HWND console, int screen, bool on) {
  return send(console, kSetFreeze, slotOf(screen) | (on ? 256 : 0));
}

// An empty slot (-1) is not a frozen screen.
bool isFrozen(HWND console, int screen) { return send(console, kIsFrozen, slotOf(screen)) == 1; }

LRESULT setBackColor(HWND console, int screen, int colour) {
  return send(console, kSetBackColor, slotOf(screen), colour);
}

LRESULT setTextColor(HWND console, int screen, int colour) {
  return send(console, kSetTextColor, slotOf(screen), colour);
}

bool getScreenSize(HWND console, int screen, int size[2]) {
  LRESULT result = send(console, kGetScreenSize, slotOf(screen));
  if (result == -1 || size == nullptr) return false;
  size[0] = static_cast<int>(result & 0xFFFF);
  size[1] = static_cast<int>(result >> 16);
  return true;
}

LRESULT cellIndex(HWND console, int screen, int column, int row) {
  return send(console, kCellIndex, slotOf(screen), (column & 0xFFFF) | static_cast<LPARAM>(row & 0xFFFF) << 16);
}

LRESULT setNotifyCallback(HWND console, ConsoleNotifyCallback callback) {
  return send(console, kSetNotifyCallback, 0, reinterpret_cast<LPARAM>(callback));
}

bool setMouseTarget(HWND console, int screen, int userValue, HWND target) {
  int record[3] = {HandleToLong(target), userValue, 0};
  return send(console, kSetMouseTarget, slotOf(screen), reinterpret_cast<LPARAM>(record)) == screen;
}

// The console answers 0 when it took the attribute and -1 for an empty slot.
bool setAttribute(HWND console, int screen, unsigned char attribute) {
  return send(console, kSetAttribute, slotOf(screen), attribute) != -1;
}

LRESULT getAttribute(HWND console, int screen) { return send(console, kGetAttribute, slotOf(screen)); }

LRESULT getActiveScreen(HWND console) { return send(console, kGetActiveScreen, 0); }

bool setColorMode(HWND console, int screen, int mode) {
  return send(console, kSetColorMode, slotOf(screen), mode) == screen;
}

LRESULT getColorMode(HWND console, int screen) { return send(console, kGetColorMode, slotOf(screen)); }

bool getPalette(HWND console, int screen, int first, int last, unsigned char* out) {
  return send(console, kGetPalette, paletteRange(screen, first, last), reinterpret_cast<LPARAM>(out)) != -1;
}

bool setPalette(HWND console, int screen, int first, int last, const unsigned char* in) {
  return send(console, kSetPalette, paletteRange(screen, first, last), reinterpret_cast<LPARAM>(in)) != -1;
}

bool resetPalette(HWND console, int screen) {
  return send(console, kResetPalette, slotOf(screen)) == screen;
}

LRESULT getFont(HWND console, int screen) { return send(console, kGetFont, slotOf(screen)); }

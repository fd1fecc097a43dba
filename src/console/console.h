// The console control: a text-mode window of 16-colour character cells with up to
// 256 screens. Register the class once at start-up, create a window of class
// "quorvane.console", then drive it with these sink functions. They may be called
// from any thread: each sends one console message with SendMessageA, except
// printText from another thread of the console's own process, which writes the
// cells directly under the console's lock (see printText).
#pragma once
#include <windows.h>

#include <cstdint>

#include "console/console_messages.h"

// Registers "quorvane.console" for the module; returns the class name.
const char* registerConsoleClasses(HINSTANCE instance);

// Called on the console's notification thread with the value given to postNotify.
using ConsoleNotifyCallback = void (*)(LPARAM argument);

bool createScreen(HWND console, int screen);
LRESULT setFont(HWND console, int screen, int font);  // 1 = 8x8, 2 = 8x16
bool showScreen(HWND console, int screen);
std::uint16_t* getCellBuffer(HWND console, int screen);
LRESULT setCursor(HWND console, int screen, int column, int row);
bool setCursorShape(HWND console, int screen, int firstLine, int lastLine);
LRESULT putCell(HWND console, int screen, int column, int row, std::uint16_t cell);
LRESULT putCharAt(HWND console, int screen, int column, int row, unsigned char character,
                  unsigned char attribute);
LRESULT putChar(HWND console, int screen, unsigned char character);
// Writes the text to the installation log first, then shows it: through the message
// on the console's thread or from another process, written into the cells directly
// from another thread of this process (a cross-thread message per line would cost a
// worker more than the writing). Either way the text is in the cells on return.
LRESULT printText(HWND console, int screen, const char* text);
void printWideText(HWND console, int screen, const wchar_t* text);
LRESULT clearScreen(HWND console, int screen);
LRESULT pollKey(HWND console);
LRESULT setFreeze(HWND console, int screen, bool on);
bool isFrozen(HWND console, int screen);
LRESULT setBackColor(HWND console, int screen, int colour);
LRESULT setTextColor(HWND console, int screen, int colour);
bool getScreenSize(HWND console, int screen, int size[2]);  // columns, rows
LRESULT cellIndex(HWND console, int screen, int column, int row);
LRESULT setNotifyCallback(HWND console, ConsoleNotifyCallback callback);
bool setMouseTarget(HWND console, int screen, int userValue, HWND target);
bool setAttribute(HWND console, int screen, unsigned char attribute);
LRESULT getAttribute(HWND console, int screen);
LRESULT getActiveScreen(HWND console);
bool setColorMode(HWND console, int screen, int mode);  // 1 colour, 0 grey
LRESULT getColorMode(HWND console, int screen);
bool getPalette(HWND console, int screen, int first, int last, unsigned char* out);
bool setPalette(HWND console, int screen, int first, int last, const unsigned char* in);
bool resetPalette(HWND console, int screen);
LRESULT getFont(HWND console, int screen);

// A screen as the installer starts it: created and shown, in colour, grey text in
// the 8x16 font, the cursor on the cell's last two lines, cleared.
void prepareInstallerScreen(HWND console, int screen);

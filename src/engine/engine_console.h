// How the engine prints: four small operations on screen 0 of the main window's
// console. Every text also goes to the installation log.
#pragma once
#include <windows.h>

// Sets up screen 0 of a console control as the engine's log window (colour, grey
// text, 8x16 glyphs, a two-line cursor), greets with `welcome` and makes it the
// console the operations below print to, and where the notes of the HTTP client's
// connections go (a plain connection without a proxy makes none).
void prepareEngineConsole(HWND console, const char* welcome);

void consolePrint(const char* text);
// One line in red (palette entry 4), then back to grey (entry 7).
void consolePrintError(const char* text);
// "\n" first if asked, the text, " " and the detail when there is one, "\n" last if
// asked; each piece is printed on its own.
void consoleReport(const char* text, const char* detail, bool newLineBefore, bool newLineAfter);
long long consoleSetColor(int colour);

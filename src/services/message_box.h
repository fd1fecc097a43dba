// Every message box of the program goes through showMessageBox, so that tests can
// answer the questions the program asks without a window.
#pragma once
#include <windows.h>

// Shows a message box (MessageBoxA by default) and returns the button chosen.
int showMessageBox(HWND owner, const char* text, const char* caption, UINT flags);

// Replaces the box with an answerer (tests); nullptr restores MessageBoxA.
using MessageBoxAnswerer = int (*)(HWND owner, const char* text, const char* caption, UINT flags);
void setMessageBoxAnswerer(MessageBoxAnswerer answerer);

// The error box: system-modal, error icon, OK.
void showError(HWND owner, const char* caption, const char* text);

// The confirmation box: caption "Installer Confirmation", system-modal, information
// icon, Yes and No. True exactly when the user chose Yes.
bool askConfirmation(HWND owner, const char* text);

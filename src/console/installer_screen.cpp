#include "console/console.h"

void prepareInstallerScreen(HWND console, int screen) {
  createScreen(console, screen);
  showScreen(console, screen);
  setColorMode(console, screen, 1);
  setTextColor(console, screen, 7);
  setFont(console, screen, 2);
  setCursorShape(console, screen, 14, 15);
  clearScreen(console, screen);
}

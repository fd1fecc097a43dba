// Brings velmorin.exe to one of its pages and holds it there (for the screenshots):
//   pose_driver.exe notice|licence|mode <ready file> [seconds]
// writes the page's screen rectangle ("WxH+X+Y") into the ready file once the page
// shows, waits, then ends the program.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "ui/ui_driver.h"

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: pose_driver notice|licence|mode <ready file> [seconds]\n");
    return 2;
  }
  std::string page = argv[1];
  int seconds = argc > 3 ? std::atoi(argv[3]) : 20;
  SetupProcess setup(velmorinProgram());
  HWND question = setup.waitMessageBox(
      "Installation setup require a internet connexion for downloading this product\n"
      "Do you have internet connexion ?");
  if (!question) return 3;
  answerBox(question, IDYES);
  HWND licence = setup.waitDialog("Installation of program ");
  if (!licence) return 4;
  HWND shown = licence;
  if (page != "notice") {
    clickButton(licence, IDOK);
    eventually([&] { return IsWindowVisible(GetDlgItem(licence, 1010)) != FALSE; });
  }
  if (page != "notice" && page != "licence") {
    clickButton(licence, 1010);
    eventually([&] { return isChecked(licence, 1010); });
    clickButton(licence, IDOK);
    shown = setup.waitDialog("Installation Mode");
    if (!shown) return 5;
    clickButton(shown, 1004);
    eventually([&] { return isChecked(shown, 1004); });
  }
  if (page == "main" || page == "console") {
    HWND modes = shown;
    clickButton(modes, IDOK);
    shown = setup.waitDialog("Install ");
    if (!shown) return 6;
    if (page == "console") clickButton(shown, 1010);
  }
  Sleep(1500);  // let it paint
  RECT rect;
  GetWindowRect(shown, &rect);
  if (FILE* ready = std::fopen(argv[2], "w")) {
    std::fprintf(ready, "%ldx%ld+%ld+%ld\n", rect.right - rect.left, rect.bottom - rect.top,
                 rect.left, rect.top);
    std::fclose(ready);
  }
  Sleep(static_cast<DWORD>(seconds) * 1000);
  return 0;
}

#include "ui/cdialmode.h"

#include "framework/app_name.h"
#include "resources/resource_ids.h"
#include "services/message_box.h"
#include "services/process_exit.h"

cdialmode::cdialmode() : Dialog(IDD_MODE, nullptr) {
  onCommand(1002, [this] { choose(1, 0, 0); });
  onCommand(1003, [this] { choose(0, 1, 0); });
  onCommand(1004, [this] { choose(0, 0, 1); });
  onCommand(IDOK, [this] { confirm(); });
  onCommand(IDCANCEL, [] { endProcess(kExitAborted); });
}

BOOL cdialmode::onInitDialog() {
  BOOL result = Dialog::onInitDialog();
  HICON icon = LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDI_VELMORIN));
  SendMessageA(hwnd(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
  return result;
}

void cdialmode::choose(uint8_t single, uint8_t multiple, uint8_t directory) {
  singleComputer = single;
  multipleComputers = multiple;
  fromDirectory = directory;
}

void cdialmode::confirm() {
  if (singleComputer || multipleComputers || fromDirectory) {
    onOK();
    return;
  }
  showError(hwnd(), applicationName(), "Please select the toggle installation mode");
}

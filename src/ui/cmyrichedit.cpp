#include "ui/cmyrichedit.h"

#include "services/message_box.h"
#include "services/process_exit.h"

bool cmyrichedit::preCreateWindow(CREATESTRUCTA& cs) {
  if (!LoadLibraryA("Msftedit.dll")) {
    showMessageBox(nullptr, "Msftedit.dll", "File Not Found", MB_ICONERROR);
    endProcess(kExitAborted);
  }
  return RichEditCtrl::preCreateWindow(cs);
}

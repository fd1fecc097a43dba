#include "ui/cmyrichedit.h"

#include "app/message_box.h"

bool cmyrichedit::preCreateWindow(CREATESTRUCTA& cs) {
  if (!LoadLibraryA("Msftedit.dll")) {
    showMessageBox(nullptr, "Msftedit.dll", "File Not Found", MB_ICONERROR);
    ExitProcess(static_cast<UINT>(-1));
  }
  return RichEditCtrl::preCreateWindow(cs);
}

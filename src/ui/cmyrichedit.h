// The licence page's rich edit control. When the object creates a window itself it
// first makes sure the rich edit library "Msftedit.dll" is there.
#pragma once
#include "framework/controls.h"

class cmyrichedit : public RichEditCtrl {
 protected:
  bool preCreateWindow(CREATESTRUCTA& cs) override;
};

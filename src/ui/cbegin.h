// The licence page (dialog 136): the notice, then the licence agreement, which the
// user must accept by ticking the box before "Next >>" lets the installation go on.
// Its only ordinary result is IDOK; every other way out ends the process with -1.
#pragma once
#include "framework/controls.h"
#include "framework/dialog.h"
#include "ui/cmyrichedit.h"

class cbegin : public Dialog {
 public:
  cbegin();
  int pageIndex() const { return page_; }

 protected:
  BOOL onInitDialog() override;
  void onCancel() override {}  // nothing but the page's own buttons closes it

 private:
  void showPage();
  void next();
  void previous();
  void decline();

  int page_ = 0;  // 0 notice, 1 licence; 2 while an acceptance is checked
  cmyrichedit richEdit_;
  Button acceptBox_;
};

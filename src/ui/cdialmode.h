// The installation mode dialog (dialog 135): three choices as radio buttons, the
// second one disabled. Its only ordinary result is IDOK with one flag set; Cancel
// ends the process with -1.
#pragma once
#include <cstdint>

#include "framework/dialog.h"

class cdialmode : public Dialog {
 public:
  cdialmode();
  uint8_t singleComputer = 0;     // mode 0
  uint8_t multipleComputers = 0;  // mode 1
  uint8_t fromDirectory = 0;      // mode 2

 protected:
  BOOL onInitDialog() override;
  void onCancel() override {}  // nothing but the dialog's own buttons closes it

 private:
  void choose(uint8_t single, uint8_t multiple, uint8_t directory);
  void confirm();
};

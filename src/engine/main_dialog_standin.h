// STAND-IN for the main installer window until the installation engine exists: it
// opens dialog 102 with its activity sign and title, and ends like the real window
// (Exit -> IDOK, closing -> IDCANCEL), so that start-up's order and exit codes hold.
#pragma once
#include "framework/dialog.h"
#include "ui/cidle.h"

class CvelmorinDlgStandIn : public Dialog {
 public:
  CvelmorinDlgStandIn();
  unsigned char installMode = 0;

 protected:
  BOOL onInitDialog() override;

 private:
  cidle activity_;  // constructed before the template is loaded: registers its class
};

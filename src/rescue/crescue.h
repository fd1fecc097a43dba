// The rescue setup's window (dialog 140): a welcome text, a Start button that shows
// the licence page and then restores the product with the installer library beside
// the program, a status line and the console that the library reports on.
#pragma once
#include "framework/dialog.h"

class crescue : public Dialog {
 public:
  crescue();

 protected:
  BOOL onInitDialog() override;
  void onCancel() override;  // Exit, Escape, the close box: not while restoring

 private:
  void prepareConsole();
  void setTexts();
  void start();

  bool restoring_ = false;
};

// The activity control (window class "GPR_INSTALL"): a green block that slides
// through a white box, one step per timer tick, for as long as the window lives.
#pragma once
#include <windows.h>

#include "framework/window.h"

class cidle : public Window {
 public:
  cidle();  // registers the class, so a dialog template can hold the control
  int stepCounter() const { return steps_; }
  int blockLeft() const;  // where the next paint puts the block

 protected:
  LRESULT windowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  void paint();
  int steps_ = 0;
};

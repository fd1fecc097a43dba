// The installation progress control (window class "GINSTALL"): one row per file of
// the install manifest with its name, local path, a progress bar with percentage
// and a picture of the row's state. Row operations may be called from any thread;
// the window's messages run on the thread that created it.
#pragma once
#include <windows.h>

#include <atomic>

#include "framework/window.h"
#include "ui/progress_rows.h"
#include "win32/handles.h"

// Row states 1 to 6 (0 is an empty row, not drawn).
enum ProgressRowState {
  kRowListed = 1,
  kRowDownloading = 2,
  kRowFailed = 3,
  kRowDigestMismatch = 4,
  kRowVerified = 5,
  kRowPresent = 6,
};

class chinstall : public Window {
 public:
  // Control, row under the pointer (or -1), that row's key (or null), y, x.
  using RightClickCallback = void (*)(chinstall* control, int row, void* key, int y, int x);

  chinstall();
  // The pictures of states 1 to 6, in that order.
  void loadStateBitmaps(HINSTANCE module, int state1, int state2, int state3, int state4,
                        int state5, int state6);
  bool create(DWORD style, const RECT& rect, HWND parent, int id);
  void setRightClickCallback(RightClickCallback callback) { callback_.store(callback); }

  void setRowCount(int count);
  void setRow(int index, const char* name, const char* path, int64_t maximum, void* key);
  int findRow(void* key) const { return rows_.find(key); }
  void setRowValue(int index, int64_t value) { rows_.setValue(index, value); }
  void setRowState(int index, int state) { rows_.setState(index, state); }
  int getRowState(int index) const { return rows_.state(index); }
  void markRowDownloading(int index) { rows_.setState(index, kRowDownloading); }
  void scrollToRow(int index);

  int rowCount() const { return rows_.count(); }
  int firstVisibleRow() const { return firstVisible_.load(); }
  int64_t rowValue(int index) const;

 protected:
  LRESULT windowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  void paint();
  void paintRow(HDC dc, const ProgressRow& row, int y, int clientWidth);
  void onVerticalScroll(int request, int position);
  void onRightButton(LPARAM point);

  GdiObject<HBITMAP> bitmaps_[6];
  std::atomic<RightClickCallback> callback_{nullptr};
  ProgressRows rows_;
  std::atomic<int> firstVisible_{0};
};

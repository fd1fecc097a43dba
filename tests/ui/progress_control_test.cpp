// The progress control and the activity control in a test window: row operations,
// hit test, scrolling and what they paint.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "resources/resource_ids.h"
#include "ui/chinstall.h"
#include "ui/cidle.h"
#include "ui/window_capture.h"

namespace {
const COLORREF kBlue = RGB(0, 0, 255), kYellow = RGB(255, 255, 0), kGreen = RGB(0, 255, 0);
const COLORREF kBlack = RGB(0, 0, 0);

class ProgressControl : public testing::Test {
 protected:
  void SetUp() override {
    parent_ = CreateWindowExA(0, "STATIC", "progress test", WS_POPUP | WS_VISIBLE, 0, 0, 700, 500,
                              nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(parent_, nullptr);
    control_.loadStateBitmaps(GetModuleHandleA(nullptr), 130, 131, 133, 132, 129, 134);
    RECT rect = {5, 5, 405, 305};
    ASSERT_TRUE(control_.create(0x10A00000, rect, parent_, 2500));
    // Make the client area exactly 400 x 300 whatever the frame takes.
    RECT client;
    GetClientRect(control_.hwnd(), &client);
    SetWindowPos(control_.hwnd(), nullptr, 0, 0, 400 + (400 - client.right),
                 300 + (300 - client.bottom), SWP_NOMOVE | SWP_NOZORDER);
    GetClientRect(control_.hwnd(), &client);
    ASSERT_EQ(client.right, 400);
    ASSERT_EQ(client.bottom, 300);
  }
  void TearDown() override { DestroyWindow(parent_); }

  HWND parent_ = nullptr;
  chinstall control_;
  int keys_[8] = {};
};

// Interior of the picture cell of the row in slot `slot` equals the bitmap (the
// grid lines cover the cell's left column and top row).
void expectPicture(const Capture& shot, int slot, int bitmapId) {
  Capture picture = loadBitmapPixels(bitmapId);
  ASSERT_EQ(picture.width, 32);
  int differences = 0;
  for (int y = 1; y < 32; ++y)
    for (int x = 1; x < 32; ++x) differences += shot.at(367 + x, slot * 32 + y) != picture.at(x, y);
  EXPECT_EQ(differences, 0) << "picture " << bitmapId << " in slot " << slot;
}

TEST_F(ProgressControl, RowOperationsRespectTheRowBounds) {
  EXPECT_EQ(control_.rowCount(), 0);
  EXPECT_EQ(control_.getRowState(0), 0);
  control_.setRowCount(3);
  control_.setRow(0, "a.bin", "C:\\d\\a.bin", 1024, &keys_[0]);
  control_.setRow(2, "c.bin", "C:\\d\\c.bin", 10, &keys_[2]);
  control_.setRow(3, "x", "y", 1, &keys_[3]);   // beyond the rows: ignored
  control_.setRow(-1, "x", "y", 1, &keys_[3]);  // ignored
  EXPECT_EQ(control_.findRow(&keys_[2]), 2);
  EXPECT_EQ(control_.findRow(&keys_[3]), -1);
  EXPECT_EQ(control_.getRowState(0), kRowListed);
  EXPECT_EQ(control_.getRowState(1), 0);
  EXPECT_EQ(control_.getRowState(3), 0);
  EXPECT_EQ(control_.getRowState(-1), 0);

  control_.setRowValue(0, 5000);
  EXPECT_EQ(control_.rowValue(0), 1024);
  control_.setRowValue(0, 512);
  EXPECT_EQ(control_.rowValue(0), 512);
  control_.markRowDownloading(0);
  EXPECT_EQ(control_.getRowState(0), kRowDownloading);
  control_.setRowState(2, kRowPresent);
  EXPECT_EQ(control_.rowValue(2), 10);
  control_.setRowValue(5, 3);
  control_.setRowState(5, 4);
  control_.markRowDownloading(-2);
  EXPECT_EQ(control_.getRowState(5), 0);

  SCROLLINFO info = {};
  info.cbSize = sizeof info;
  info.fMask = SIF_RANGE;
  GetScrollInfo(control_.hwnd(), SB_VERT, &info);
  EXPECT_EQ(info.nMin, 0);
  EXPECT_EQ(info.nMax, 3);
}

TEST_F(ProgressControl, PaintsHalfFilledBarPercentAndStatePicture) {
  control_.setRowCount(3);
  control_.setRow(0, "a.bin", "C:\\d\\a.bin", 1024, &keys_[0]);
  control_.setRowValue(0, 512);
  control_.setRow(2, "c.bin", "C:\\d\\c.bin", 0, &keys_[2]);  // maximum 0
  control_.setRowState(2, kRowFailed);
  Capture shot = captureClient(control_.hwnd());

  // Row 0: bar 296..363 from y 2 to 30, yellow up to 296 + 33.
  EXPECT_EQ(shot.at(300, 26), kYellow);
  EXPECT_EQ(shot.at(327, 26), kYellow);
  EXPECT_EQ(shot.at(335, 26), kBlue);
  EXPECT_EQ(shot.at(360, 26), kBlue);
  EXPECT_EQ(shot.at(296, 15), kBlack);  // the bar's outline
  EXPECT_GT(shot.count(kGreen, 297, 3, 362, 29), 10);  // "50.00%"
  expectPicture(shot, 0, IDB_STATE_QUESTION);

  // Row 1 (state 0): blank slot, but the grid is there.
  EXPECT_EQ(shot.count(kBlue, 0, 33, 400, 64), 0);
  EXPECT_EQ(shot.count(kGreen, 0, 33, 400, 64), 0);
  EXPECT_EQ(shot.at(50, 32), kBlack);
  EXPECT_EQ(shot.at(50, 64), kBlack);
  for (int x : {146, 292, 367, 399}) EXPECT_EQ(shot.at(x, 48), kBlack) << x;
  EXPECT_NE(shot.at(200, 48), kBlack);

  // Row 2 (maximum 0): an empty bar and 0.00%, the red cross.
  EXPECT_EQ(shot.at(300, 64 + 26), kBlue);
  EXPECT_GT(shot.count(kGreen, 297, 67, 362, 93), 10);
  expectPicture(shot, 2, IDB_STATE_CROSS);
}

TEST_F(ProgressControl, StateSixFillsTheBarWithTheDiskPicture) {
  control_.setRowCount(1);
  control_.setRow(0, "d.bin", "C:\\d\\d.bin", 777, &keys_[0]);
  control_.setRowState(0, kRowPresent);
  Capture shot = captureClient(control_.hwnd());
  EXPECT_EQ(shot.at(300, 26), kYellow);
  EXPECT_EQ(shot.at(360, 26), kYellow);
  EXPECT_EQ(shot.count(kBlue, 297, 3, 362, 29), 0);
  expectPicture(shot, 0, IDB_STATE_DISK);
}

TEST_F(ProgressControl, EveryStateShowsItsPicture) {
  const int pictures[6] = {IDB_STATE_QUESTION, IDB_STATE_DOTS,  IDB_STATE_CROSS,
                           IDB_STATE_WARNING,  IDB_STATE_TICK, IDB_STATE_DISK};
  control_.setRowCount(6);
  for (int i = 0; i < 6; ++i) {
    control_.setRow(i, "f", "p", 100, &keys_[i]);
    control_.setRowState(i, i + 1);
  }
  Capture shot = captureClient(control_.hwnd());
  for (int i = 0; i < 6; ++i) expectPicture(shot, i, pictures[i]);
}

struct Click {
  int calls = 0;
  chinstall* control = nullptr;
  int row = -2;
  void* key = nullptr;
  int y = 0, x = 0;
} g_click;

void recordClick(chinstall* control, int row, void* key, int y, int x) {
  g_click = {g_click.calls + 1, control, row, key, y, x};
}

TEST_F(ProgressControl, RightClickReportsTheRowUnderThePointer) {
  control_.setRowCount(3);
  for (int i = 0; i < 3; ++i) control_.setRow(i, "f", "p", 1, &keys_[i]);
  SendMessageA(control_.hwnd(), WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(20, 40));
  EXPECT_EQ(g_click.calls, 0);  // no callback set yet

  control_.setRightClickCallback(&recordClick);
  SendMessageA(control_.hwnd(), WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(20, 40));
  EXPECT_EQ(g_click.calls, 1);
  EXPECT_EQ(g_click.control, &control_);
  EXPECT_EQ(g_click.row, 1);
  EXPECT_EQ(g_click.key, &keys_[1]);
  EXPECT_EQ(g_click.y, 40);
  EXPECT_EQ(g_click.x, 20);

  SendMessageA(control_.hwnd(), WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(33, 200));  // below
  EXPECT_EQ(g_click.calls, 2);
  EXPECT_EQ(g_click.row, -1);
  EXPECT_EQ(g_click.key, nullptr);

  control_.scrollToRow(2);
  SendMessageA(control_.hwnd(), WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(5, 10));
  EXPECT_EQ(g_click.row, 2);
  EXPECT_EQ(g_click.key, &keys_[2]);
}

TEST_F(ProgressControl, ArrowStopsAtRow122AndTheThumbGoesFurther) {
  control_.setRowCount(200);
  for (int i = 0; i < 200; ++i) control_.setRow(i, "f", "p", 10, &keys_[0]);
  for (int i = 0; i < 200; ++i) SendMessageA(control_.hwnd(), WM_VSCROLL, SB_LINEDOWN, 0);
  EXPECT_EQ(control_.firstVisibleRow(), 122);
  EXPECT_EQ(GetScrollPos(control_.hwnd(), SB_VERT), 122);
  SendMessageA(control_.hwnd(), WM_VSCROLL, SB_PAGEDOWN, 0);  // no page size: no move
  EXPECT_EQ(control_.firstVisibleRow(), 122);
  SendMessageA(control_.hwnd(), WM_VSCROLL, SB_LINEUP, 0);
  EXPECT_EQ(control_.firstVisibleRow(), 121);
  SendMessageA(control_.hwnd(), WM_VSCROLL, MAKEWPARAM(SB_THUMBTRACK, 200), 0);
  EXPECT_EQ(control_.firstVisibleRow(), 200);
  Capture shot = captureClient(control_.hwnd());
  EXPECT_EQ(shot.count(kBlue, 0, 0, 400, 300), 0);  // nothing left to show
  SendMessageA(control_.hwnd(), WM_VSCROLL, SB_TOP, 0);
  EXPECT_EQ(control_.firstVisibleRow(), 0);
  control_.scrollToRow(42);
  EXPECT_EQ(control_.firstVisibleRow(), 42);
  EXPECT_EQ(GetScrollPos(control_.hwnd(), SB_VERT), 42);
  control_.scrollToRow(200);  // not a row: ignored
  control_.scrollToRow(-1);
  EXPECT_EQ(control_.firstVisibleRow(), 42);
}

TEST_F(ProgressControl, NewRowsDuringPaintsDoNotBreakThePaint) {
  std::atomic<bool> done{false};
  std::thread worker([&] {
    for (int round = 1; round <= 300; ++round) {
      control_.setRowCount(round % 40);
      for (int i = 0; i < round % 40; ++i) {
        control_.setRow(i, "file", "path", 100, &keys_[0]);
        control_.setRowValue(i, round);
      }
    }
    done = true;
  });
  int paints = 0;
  while (!done) {  // the window's thread keeps serving messages, as its dialog would
    RedrawWindow(control_.hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
    ++paints;
  }
  worker.join();
  EXPECT_GT(paints, 0);
  EXPECT_EQ(control_.rowCount(), 300 % 40);
}

TEST(ActivityControl, EveryTimerTickMovesTheBlockFourPixels) {
  HWND parent = CreateWindowExA(0, "STATIC", "idle test", WS_POPUP | WS_VISIBLE, 0, 0, 300, 100,
                                nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
  cidle idle;
  RECT rect = {10, 10, 10 + 117, 10 + 24};
  ASSERT_TRUE(idle.create("GPR_INSTALL", "Customgrp", WS_VISIBLE, rect, parent, 1009));
  EXPECT_EQ(idle.stepCounter(), 0);
  Capture shot = captureClient(idle.hwnd());
  EXPECT_EQ(shot.at(0, 0), kBlack);            // the box's outline
  EXPECT_EQ(shot.at(2, 12), RGB(255, 255, 255));  // white inside
  EXPECT_EQ(shot.at(4 + 12, 12), RGB(36, 176, 4));  // block at 4

  SendMessageA(idle.hwnd(), WM_TIMER, 3000, 0);
  SendMessageA(idle.hwnd(), WM_TIMER, 7, 0);  // any timer id counts
  EXPECT_EQ(idle.stepCounter(), 8);
  EXPECT_EQ(idle.blockLeft(), 12);
  shot = captureClient(idle.hwnd());
  EXPECT_EQ(shot.at(12 + 12, 12), RGB(36, 176, 4));
  EXPECT_EQ(shot.at(6, 12), RGB(255, 255, 255));  // the block has left the edge
  for (int i = 0; i < 19; ++i) SendMessageA(idle.hwnd(), WM_TIMER, 3000, 0);
  EXPECT_EQ(idle.blockLeft(), 88);
  SendMessageA(idle.hwnd(), WM_TIMER, 3000, 0);
  EXPECT_EQ(idle.blockLeft(), 7);
  DestroyWindow(parent);
}

TEST(ActivityControl, ANarrowBoxKeepsTheBlockAtTheLeft) {
  HWND parent = CreateWindowExA(0, "STATIC", "idle test", WS_POPUP | WS_VISIBLE, 0, 0, 300, 100,
                                nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
  cidle idle;
  RECT rect = {0, 0, 30, 24};
  ASSERT_TRUE(idle.create("GPR_INSTALL", "", WS_VISIBLE, rect, parent, 1009));
  for (int i = 0; i < 5; ++i) SendMessageA(idle.hwnd(), WM_TIMER, 3000, 0);
  EXPECT_EQ(idle.blockLeft(), 4);
  Capture shot = captureClient(idle.hwnd());
  EXPECT_EQ(shot.at(4 + 10, 12), RGB(36, 176, 4));
  DestroyWindow(parent);
}
}  // namespace

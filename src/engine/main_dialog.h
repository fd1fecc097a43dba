// The main installer window (dialog 102): status line, file-count bar, activity
// sign, the console and the file list. It opens by loading the package description,
// starts an installation by itself 3.5 s later (or on "Download ..."), and leaves the
// long work to the worker threads; its handlers only start and stop them, resize the
// window and answer the private messages.
#pragma once
#include <windows.h>

#include "download/file_record.h"
#include "framework/dialog.h"
#include "ui/chinstall.h"
#include "ui/cidle.h"

class CvelmorinDlg : public Dialog {
 public:
  CvelmorinDlg();
  // 0 single computer, 1 multiple computers, 2 from a directory; set before it runs.
  unsigned char installMode = 0;

 protected:
  BOOL onInitDialog() override;
  void onOK() override;  // the Exit button
  bool onMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result) override;

 private:
  // The steps of opening the window.
  void prepareConsole();
  void setIcons();
  void createFileList();
  void requireDescriptor();
  void buildDownloadRoot();
  void loadPackageManifest();
  void startTimers();
  void setTitle();

  void startInstallation();
  void onTimer(UINT_PTR id);
  void toggleConsoleArea();
  void toggleFileListArea();
  void applyConsoleAreaSize();
  void applyFileListAreaSize();
  int collapsedHeight() const;
  void setClientHeight(int height, int extraOuterHeight);
  void onClose();
  bool paintMinimised();

  static void onRowRightClick(chinstall* control, int row, void* key, int y, int x);
  void tryDownload();

  cidle activity_;  // constructed before the template is loaded: registers its class
  chinstall fileList_;
  HICON icon_ = nullptr;
  bool consoleArea_ = false;
  bool fileListArea_ = false;
  FileRecord* selectedRecord_ = nullptr;
};

#include "engine/main_dialog.h"

#include <commctrl.h>

#include <algorithm>
#include <cstring>

#include "download/manifest_loader.h"
#include "engine/download_loop.h"
#include "engine/engine_console.h"
#include "engine/engine_state.h"
#include "engine/engine_utilities.h"
#include "engine/library_launch.h"
#include "engine/package_signature.h"
#include "engine/signed_manifest_load.h"
#include "engine/update_analysis.h"
#include "framework/app_name.h"
#include "resources/resource_ids.h"
#include "services/install_log.h"
#include "services/message_box.h"
#include "services/process_exit.h"
#include "ui/window_titles.h"
#include "win32/handles.h"

namespace {
constexpr int kConsole = 1008;
constexpr int kConsoleAreaButton = 1010;
constexpr int kFileListAreaButton = 1007;
constexpr int kFileList = 2500;

constexpr UINT_PTR kRepaintTimer = 2000;
constexpr UINT_PTR kStartTimer = 2001;
constexpr UINT_PTR kActivityTimer = 3000;

constexpr int kCollapsedHeight = 100;
constexpr int kCollapsedMargin = 6;
constexpr int kConsoleHeight = 640;
constexpr int kFileListHeight = 768;
constexpr int kFrameAllowance = 8;

// The file list's window style.
constexpr DWORD kFileListStyle = WS_VISIBLE | WS_BORDER | WS_VSCROLL;

CvelmorinDlg* g_dialog = nullptr;  // the right-click callback carries no context

DWORD WINAPI runSingleFileDownload(LPVOID record) {
  downloadAndVerifyFile(static_cast<FileRecord*>(record), g_mainWindow);
  KernelHandle self(g_singleFileThread.exchange(nullptr));
  return 0;
}

// Waits for a worker at most `waitMs`, then ends it wherever it is.
void terminateWorker(std::atomic<HANDLE>& thread, DWORD waitMs, DWORD exitCode) {
  HANDLE handle = thread.load();
  if (!handle) return;
  if (waitMs) WaitForSingleObject(handle, waitMs);
  TerminateThread(handle, exitCode);
}
}  // namespace

CvelmorinDlg::CvelmorinDlg() : Dialog(IDD_MAIN, nullptr) {
  icon_ = LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDI_VELMORIN));
  onCommand(kDownloadButton, [this] { startInstallation(); });
  onCommand(kConsoleAreaButton, [this] { toggleConsoleArea(); });
  onCommand(kFileListAreaButton, [this] { toggleFileListArea(); });
  onCommand(kTryDownloadCommand, [this] { tryDownload(); });
}

BOOL CvelmorinDlg::onInitDialog() {
  g_dialog = this;
  g_mainWindow = hwnd();
  g_installMode = installMode;
  openLog(hwnd());
  prepareConsole();
  setIcons();
  createFileList();
  requireDescriptor();
  buildDownloadRoot();
  loadPublisherKey();
  if (installMode != 2) loadPackageManifest();
  attachItem(activity_, 1009);
  SetTimer(activity_.hwnd(), kActivityTimer, 600, nullptr);
  startTimers();
  setTitle();
  applyConsoleAreaSize();
  return TRUE;
}

void CvelmorinDlg::prepareConsole() {
  prepareEngineConsole(item(kConsole), "Welcome in installation program\n");
}

void CvelmorinDlg::setIcons() {
  SendMessageA(hwnd(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon_));
  SendMessageA(hwnd(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon_));
}

// Below the file list's button, as wide as the window allows, down to 768 pixels.
void CvelmorinDlg::createFileList() {
  HINSTANCE module = GetModuleHandleA(nullptr);
  fileList_.loadStateBitmaps(module, IDB_STATE_QUESTION, IDB_STATE_DOTS, IDB_STATE_CROSS,
                             IDB_STATE_WARNING, IDB_STATE_TICK, IDB_STATE_DISK);
  RECT button;
  GetWindowRect(item(kFileListAreaButton), &button);
  MapWindowPoints(nullptr, hwnd(), reinterpret_cast<POINT*>(&button), 2);
  RECT client;
  GetClientRect(hwnd(), &client);
  RECT area = {5, button.bottom + 32, client.right - 10, kFileListHeight};
  fileList_.create(kFileListStyle, area, hwnd(), kFileList);
  fileList_.setRightClickCallback(&CvelmorinDlg::onRowRightClick);
  g_progressControl = &fileList_;
}

void CvelmorinDlg::requireDescriptor() {
  if (g_descriptorText) return;
  showError(hwnd(), applicationName(), "Failure download header");
  endProcess(kExitAborted);
}

void CvelmorinDlg::buildDownloadRoot() {
  parseInstallDescriptor(g_descriptorText, g_descriptorLength);
  std::memcpy(g_downloadRoot, downloadRootLevels().product, sizeof g_downloadRoot);
}

// The manifest has told the user what went wrong, if anything could be told; why a
// manifest was refused goes to the console in red, and so to the log. With a
// publisher key, its signature is checked before it is used.
void CvelmorinDlg::loadPackageManifest() {
  RecordNode* files =
      g_packageSignature.required ? loadSignedManifest() : loadManifest(g_downloadRoot, g_baseUrl, consolePrintError);
  if (!files || listCount(files) == 0) endProcess(kExitAborted);
}

void CvelmorinDlg::startTimers() {
  SetTimer(hwnd(), kRepaintTimer, 1000, nullptr);
  SetTimer(hwnd(), kStartTimer, 3500, nullptr);
}

void CvelmorinDlg::setTitle() {
  char title[260];
  formatMainTitle(title, sizeof title, g_productName, __DATE__, __TIME__);
  SetWindowTextA(hwnd(), title);
}

// The analysis thread's handle is not kept: it ends by itself once its download
// thread has ended.
void CvelmorinDlg::startInstallation() {
  KillTimer(hwnd(), kStartTimer);
  SetDlgItemTextA(hwnd(), kStatusLine, "Download header installation ...");
  EnableWindow(item(kDownloadButton), FALSE);
  EnableWindow(item(kExitButton), FALSE);
  KernelHandle analysis(CreateThread(nullptr, 0, &runUpdateAnalysis, hwnd(), 0, nullptr));
}

void CvelmorinDlg::onTimer(UINT_PTR id) {
  if (id == kRepaintTimer) InvalidateRect(fileList_.hwnd(), nullptr, TRUE);
  if (id == kStartTimer) startInstallation();
}

void CvelmorinDlg::toggleConsoleArea() {
  consoleArea_ = !consoleArea_;
  applyConsoleAreaSize();
}

void CvelmorinDlg::toggleFileListArea() {
  fileListArea_ = !fileListArea_;
  applyFileListAreaSize();
}

void CvelmorinDlg::applyConsoleAreaSize() {
  fileListArea_ = false;
  if (consoleArea_) setClientHeight(kConsoleHeight, kFrameAllowance);
  else setClientHeight(collapsedHeight(), 0);
}

// 100 pixels, or more where the dialog's font puts "Download ..." lower: collapsed, the
// window still shows the three buttons that start, show more and end a run.
int CvelmorinDlg::collapsedHeight() const {
  RECT button;
  GetWindowRect(item(kDownloadButton), &button);
  MapWindowPoints(nullptr, hwnd(), reinterpret_cast<POINT*>(&button), 2);
  return std::max<int>(kCollapsedHeight, button.bottom + kCollapsedMargin);
}

void CvelmorinDlg::applyFileListAreaSize() {
  if (fileListArea_) setClientHeight(kFileListHeight, kFrameAllowance);
  else setClientHeight(kConsoleHeight, 0);
}

// Keeps the client width; the outer size follows from the window's style. The window
// goes to the screen's top-left corner, on top.
void CvelmorinDlg::setClientHeight(int height, int extraOuterHeight) {
  RECT client;
  GetClientRect(hwnd(), &client);
  RECT outer = {0, 0, client.right, height};
  AdjustWindowRectEx(&outer, static_cast<DWORD>(GetWindowLongA(hwnd(), GWL_STYLE)), FALSE,
                     static_cast<DWORD>(GetWindowLongA(hwnd(), GWL_EXSTYLE)));
  SetWindowPos(hwnd(), HWND_TOP, 0, 0, outer.right - outer.left,
               outer.bottom - outer.top + extraOuterHeight, SWP_SHOWWINDOW);
}

// Exit: the download ends wherever it is; start-up then ends the process with 1.
void CvelmorinDlg::onOK() {
  armExitGuard(kExitStopped, 2500 + kOrderlyExitLimitMs);
  terminateWorker(g_downloadThread, 0, 0xFFFFFFFF);
  KillTimer(hwnd(), kRepaintTimer);
  KillTimer(hwnd(), kStartTimer);
  Sleep(2500);
  endDialog(IDOK);
}

// Closing the window: the download and the installation end wherever they are;
// start-up then ends the process with 0.
void CvelmorinDlg::onClose() {
  armExitGuard(kExitClosed, 2 * 100 + kOrderlyExitLimitMs);
  terminateWorker(g_downloadThread, 100, 1);
  g_downloadThread.store(nullptr);
  terminateWorker(g_installerThread, 100, 1);
  g_installerThread.store(nullptr);
  endDialog(IDCANCEL);
}

bool CvelmorinDlg::paintMinimised() {
  if (!IsIconic(hwnd())) return false;
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(hwnd(), &paint);
  SendMessageA(hwnd(), WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
  RECT client;
  GetClientRect(hwnd(), &client);
  int x = (client.right - GetSystemMetrics(SM_CXICON) + 1) / 2;
  int y = (client.bottom - GetSystemMetrics(SM_CYICON) + 1) / 2;
  DrawIcon(dc, x, y, icon_);
  EndPaint(hwnd(), &paint);
  return true;
}

bool CvelmorinDlg::onMessage(UINT message, WPARAM wParam, LPARAM, INT_PTR& result) {
  switch (message) {
    case WM_TIMER:
      onTimer(wParam);
      return false;  // and the default handling
    case WM_CLOSE:
      onClose();
      return true;
    case kPackageComplete:
      offerInstallerLaunch(hwnd());
      return false;  // the message goes on to the window's normal processing
    case WM_PAINT:
      return paintMinimised();
    case WM_QUERYDRAGICON:
      result = reinterpret_cast<INT_PTR>(icon_);
      return true;
    case WM_NCDESTROY:
      closeLog();  // the console went with the window's children
      return false;
  }
  return false;
}

// Offers "Try Download" on a file that is listed, failed or kept with a digest error,
// and only while no run is going on.
void CvelmorinDlg::onRowRightClick(chinstall* control, int row, void* key, int, int) {
  CvelmorinDlg* self = g_dialog;
  if (!self) return;
  int state = control->getRowState(row);
  bool offered = state == kRowListed || state == kRowFailed || state == kRowDigestMismatch;
  if (!offered || !IsWindowEnabled(self->item(kDownloadButton))) return;
  self->selectedRecord_ = static_cast<FileRecord*>(key);
  MenuHandle menu(CreatePopupMenu());
  AppendMenuA(menu.get(), MF_STRING, kTryDownloadCommand, "Try Download");
  POINT cursor;
  GetCursorPos(&cursor);
  TrackPopupMenu(menu.get(), TPM_LEFTALIGN, cursor.x, cursor.y, 0, self->hwnd(), nullptr);
}

void CvelmorinDlg::tryDownload() {
  if (g_singleFileThread.load()) {
    showError(hwnd(), applicationName(), "A function try download is already runned");
    return;
  }
  // Started suspended, so the handle is recorded before the thread can clear it.
  HANDLE thread =
      CreateThread(nullptr, 0, &runSingleFileDownload, selectedRecord_, CREATE_SUSPENDED, nullptr);
  if (!thread) return;
  g_singleFileThread.store(thread);
  ResumeThread(thread);
}

#include "support/ui_driver.h"

#include <shlobj.h>
#include <tlhelp32.h>

#include <algorithm>
#include <chrono>
#include <thread>
#include <vector>

namespace {
const int kMessageBoxText = 0xFFFF;

bool hasClass(HWND hwnd, const char* windowClass) {
  char cls[16] = {};
  GetClassNameA(hwnd, cls, sizeof cls);
  return std::string(cls) == windowClass;
}

std::vector<HWND> topLevelWindowsOf(const std::vector<DWORD>& processes) {
  struct Search {
    const std::vector<DWORD>& processes;
    std::vector<HWND> found;
  } search{processes, {}};
  EnumWindows(
      [](HWND hwnd, LPARAM data) -> BOOL {
        auto* s = reinterpret_cast<Search*>(data);
        DWORD owner = 0;
        GetWindowThreadProcessId(hwnd, &owner);
        if (std::find(s->processes.begin(), s->processes.end(), owner) != s->processes.end())
          s->found.push_back(hwnd);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

std::vector<HWND> topLevelWindowsOf(DWORD process) {
  return topLevelWindowsOf(std::vector<DWORD>{process});
}
}  // namespace

std::string windowText(HWND hwnd) {
  char text[1024] = {};
  // WM_GETTEXT works across processes; GetWindowText would not read a child's text.
  SendMessageTimeoutA(hwnd, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text),
                      SMTO_ABORTIFHUNG, 2000, nullptr);
  return text;
}

std::string itemText(HWND dialog, int id) { return windowText(GetDlgItem(dialog, id)); }

SetupProcess::SetupProcess(const std::string& program) {
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info = {};
  std::string commandLine = "\"" + program + "\"";
  if (CreateProcessA(program.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr,
                     nullptr, &startup, &info)) {
    CloseHandle(info.hThread);
    process_ = info.hProcess;
    id_ = info.dwProcessId;
  }
}

SetupProcess::~SetupProcess() {
  if (!process_) return;
  if (WaitForSingleObject(process_, 0) == WAIT_TIMEOUT) {
    TerminateProcess(process_, 99);
    WaitForSingleObject(process_, 5000);
  }
  CloseHandle(process_);
}

HWND SetupProcess::waitWindow(const std::function<bool(HWND)>& match, int milliseconds,
                              const char* windowClass) const {
  auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
  do {
    for (HWND hwnd : topLevelWindowsOf(id_)) {
      if (IsWindowVisible(hwnd) && hasClass(hwnd, windowClass) && match(hwnd)) return hwnd;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  } while (std::chrono::steady_clock::now() < deadline);
  return nullptr;
}

HWND SetupProcess::waitDialog(const std::string& titlePrefix, int milliseconds) const {
  return waitWindow(
      [&](HWND hwnd) { return windowText(hwnd).rfind(titlePrefix, 0) == 0; }, milliseconds);
}

HWND SetupProcess::waitMessageBox(const std::string& text, int milliseconds) const {
  return waitWindow(
      [&](HWND hwnd) {
        HWND label = GetDlgItem(hwnd, kMessageBoxText);
        return label && windowText(label) == text;
      },
      milliseconds);
}

HWND SetupProcess::waitMessageBoxStarting(const std::string& prefix, int milliseconds) const {
  return waitWindow(
      [&](HWND hwnd) {
        HWND label = GetDlgItem(hwnd, kMessageBoxText);
        return label && windowText(label).rfind(prefix, 0) == 0;
      },
      milliseconds);
}

HWND SetupProcess::waitPopupMenu(int milliseconds) const {
  return waitWindow([](HWND) { return true; }, milliseconds, "#32768");
}

DWORD SetupProcess::waitExit(int milliseconds) const {
  if (!process_) return STILL_ACTIVE;
  WaitForSingleObject(process_, static_cast<DWORD>(milliseconds));
  DWORD code = STILL_ACTIVE;
  GetExitCodeProcess(process_, &code);
  return code;
}

std::string SetupProcess::describeWindows() const {
  std::string out;
  for (HWND hwnd : topLevelWindowsOf(id_)) {
    char cls[64] = {};
    GetClassNameA(hwnd, cls, sizeof cls);
    out += std::string(cls) + " \"" + windowText(hwnd) + "\"";
    if (HWND label = GetDlgItem(hwnd, kMessageBoxText)) out += " text \"" + windowText(label) + "\"";
    out += IsWindowVisible(hwnd) ? " visible\n" : " hidden\n";
  }
  return out.empty() ? "(no windows)" : out;
}

std::vector<HWND> SetupProcess::shownWindows() const {
  std::vector<DWORD> processes = startedProcesses();
  processes.push_back(id_);
  std::vector<HWND> shown;
  for (HWND hwnd : topLevelWindowsOf(processes)) {
    if (IsWindowVisible(hwnd)) shown.push_back(hwnd);
  }
  return shown;
}

std::vector<DWORD> SetupProcess::startedProcesses() const {
  std::vector<DWORD> started;
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snapshot == INVALID_HANDLE_VALUE) return started;
  PROCESSENTRY32 entry = {};
  entry.dwSize = sizeof entry;
  for (BOOL more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry)) {
    if (entry.th32ParentProcessID == id_ && entry.th32ProcessID != id_) started.push_back(entry.th32ProcessID);
  }
  CloseHandle(snapshot);
  return started;
}

void SetupProcess::endStartedProcesses() const {
  for (DWORD id : startedProcesses()) {
    HANDLE process = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, id);
    if (!process) continue;
    TerminateProcess(process, 99);
    WaitForSingleObject(process, 5000);
    CloseHandle(process);
  }
}

bool SetupProcess::selectFolder(HWND browser, const std::string& path) const {
  if (!process_) return false;
  void* remote = VirtualAllocEx(process_, nullptr, path.size() + 1, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
  if (!remote) return false;
  SIZE_T written = 0;
  bool copied = WriteProcessMemory(process_, remote, path.c_str(), path.size() + 1, &written) &&
                written == path.size() + 1;
  DWORD_PTR result = 0;
  bool sent = copied && SendMessageTimeoutA(browser, BFFM_SETSELECTIONA, TRUE, reinterpret_cast<LPARAM>(remote),
                                            SMTO_ABORTIFHUNG, 5000, &result);
  VirtualFreeEx(process_, remote, 0, MEM_RELEASE);
  return sent;
}

bool isMessageBox(HWND window) {
  return hasClass(window, "#32770") && GetDlgItem(window, kMessageBoxText) != nullptr;
}

std::string messageBoxText(HWND box) { return windowText(GetDlgItem(box, kMessageBoxText)); }

void clickButton(HWND dialog, int id) { PostMessageA(GetDlgItem(dialog, id), BM_CLICK, 0, 0); }

void pressKey(HWND window, WORD key) {
  GUITHREADINFO info = {};
  info.cbSize = sizeof info;
  HWND target = window;
  if (GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info) && info.hwndFocus) {
    target = info.hwndFocus;
  }
  UINT scan = MapVirtualKeyA(key, MAPVK_VK_TO_VSC);
  PostMessageA(target, WM_KEYDOWN, key, 1 | (scan << 16));
  PostMessageA(target, WM_KEYUP, key, 1 | (scan << 16) | (3u << 30));
}

void answerBox(HWND box, int button) {
  PostMessageA(box, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), 0);
}

bool isChecked(HWND dialog, int id) {
  return SendMessageA(GetDlgItem(dialog, id), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

bool eventually(const std::function<bool()>& condition, int milliseconds) {
  auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
  while (!condition()) {
    if (std::chrono::steady_clock::now() >= deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return true;
}

std::string windowsPath(const std::string& buildPath) {
  std::string path = buildPath;
  if (!path.empty() && path[0] == '/') path = "Z:" + path;
  for (char& c : path) {
    if (c == '/') c = '\\';
  }
  return path;
}

std::string velmorinProgram() { return windowsPath(VELMORIN_EXE); }

std::string textLayoutFault(HWND control) {
  const LRESULT first = SendMessageA(control, EM_GETFIRSTVISIBLELINE, 0, 0);
  if (first != 0) return "the first line shown is line " + std::to_string(first);
  RECT client = {};
  GetClientRect(control, &client);
  const LRESULT lines = SendMessageA(control, EM_GETLINECOUNT, 0, 0);
  for (LRESULT line = 0; line < lines; ++line) {
    const LRESULT start = SendMessageA(control, EM_LINEINDEX, static_cast<WPARAM>(line), 0);
    const LRESULT length = SendMessageA(control, EM_LINELENGTH, static_cast<WPARAM>(start), 0);
    if (length <= 0) continue;
    // The left edge of the line's last character, packed as the edit control packs it.
    const LRESULT last = SendMessageA(control, EM_POSFROMCHAR, static_cast<WPARAM>(start + length - 1), 0);
    const int x = static_cast<short>(LOWORD(last));
    if (x < 0 || x >= client.right)
      return "line " + std::to_string(line) + " of " + std::to_string(lines) + " ends at x " + std::to_string(x) +
             ", beyond the client width " + std::to_string(client.right);
  }
  return "";
}

// The engine's two long phases under Wine, in a hidden stand-in of the main window
// with the real console, progress control and flows (bench/engine.sh runs it).
//
//   engine_bench analysis <temp dir> <product> <manifest> log|nolog [<public key>]
//       The update analysis over a package already present under
//       <temp dir>\Quorvane\Downloaded\<product>. Prints to stderr:
//       analysis <files> <seconds from start to the decision>
//   engine_bench download <temp dir> <product> <manifest> <base url> log|nolog [<public key>]
//       The download loop over every file of the manifest, from the server of the base
//       URL, into an empty download root. Prints to stderr:
//       download <files> <seconds to the hand-over> <peak working set> <working set before>
//   With a public key (PEM), as an installer built with that key: the signature file
//   beside the manifest (downloadgi.sig) is checked first, untimed, and every file is
//   then checked against its signed SHA-256 as well.
//   engine_bench flush <temp dir> <lines>
//       What the installation log's flush of every line costs alone: <lines> short
//       lines written with and without FlushFileBuffers. Prints to stderr:
//       flush <lines> <seconds with flush> <seconds without>
#include <windows.h>
#include <commctrl.h>
#include <psapi.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "bench_clock.h"
#include "services/install_log.h"
#include "services/message_box.h"
#include "console/console.h"
#include "download/install_descriptor.h"
#include "download/manifest_parser.h"
#include "download/text_field.h"
#include "engine/download_loop.h"
#include "engine/engine_state.h"
#include "engine/package_signature.h"
#include "engine/signature_verification.h"
#include "engine/update_analysis.h"
#include "ui/chinstall.h"

namespace {

std::atomic<double> g_decision{0};
std::atomic<double> g_handOver{0};

// Nobody answers a benchmark: the decision is timed, an update goes ahead, and any
// failure ends the run instead of waiting for an answer.
int answerBox(HWND, const char* text, const char*, UINT) {
  if (std::strcmp(text, "Sorry,no update needed") == 0) {
    g_decision = now();
    return IDOK;
  }
  if (std::strncmp(text, "A update installation", 21) == 0) {
    g_decision = now();
    return IDYES;
  }
  std::fprintf(stderr, "unexpected box: %s\n", text);
  ExitProcess(3);
}

LRESULT CALLBACK mainWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == kPackageComplete) {
    g_handOver = now();
    PostQuitMessage(0);
    return 0;
  }
  return DefWindowProcA(hwnd, message, wParam, lParam);
}

HWND child(const char* cls, const char* text, DWORD style, int id, HWND parent) {
  return CreateWindowExA(0, cls, text, WS_CHILD | style, 0, 0, 100, 20, parent,
                         reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), nullptr, nullptr);
}

// The controls of the main window that the flows reach, in a window that is never
// shown: status line, file-count bar, the two buttons, console and file list.
void createStandInWindow(chinstall& fileList) {
  INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_PROGRESS_CLASS};
  InitCommonControlsEx(&controls);
  HINSTANCE instance = GetModuleHandleA(nullptr);
  registerConsoleClasses(instance);
  WNDCLASSA windowClass = {};
  windowClass.lpfnWndProc = mainWindowProc;
  windowClass.hInstance = instance;
  windowClass.lpszClassName = "velmorin.bench";
  RegisterClassA(&windowClass);
  g_mainWindow = CreateWindowExA(0, "velmorin.bench", "bench", WS_OVERLAPPEDWINDOW, 0, 0, 1280,
                                 1024, nullptr, nullptr, instance, nullptr);
  child("STATIC", "", 0, kStatusLine, g_mainWindow);
  child(PROGRESS_CLASSA, "", 0, kFileCountBar, g_mainWindow);
  child("BUTTON", "Download ...", 0, kDownloadButton, g_mainWindow);
  child("BUTTON", "Exit", 0, kExitButton, g_mainWindow);
  g_consoleWindow = child("quorvane.console", "Cconsole", 0, 1008, g_mainWindow);
  prepareInstallerScreen(g_consoleWindow, 0);
  RECT rect = {5, 400, 1270, 768};
  fileList.create(0x10A00000, rect, g_mainWindow, 2500);
  g_progressControl = &fileList;
}

std::string readFile(const char* path) {
  std::string text;
  if (FILE* file = std::fopen(path, "rb")) {
    char buffer[65536];
    size_t got;
    while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0) text.append(buffer, got);
    std::fclose(file);
  }
  return text;
}

// As a program built with the key: the signature file beside the manifest checked,
// and kept for the flows.
void usePublisherKey(const char* keyFile, const std::string& manifestText, const char* manifest) {
  const std::string pem = readFile(keyFile);
  std::string signature = manifest;
  signature.replace(signature.size() - 3, 3, "sig");
  std::string reason;
  g_packageSignature.required = true;
  if (!parsePublisherKeyPem(pem.data(), pem.size(), &g_packageSignature.key, &reason) ||
      !verifyPackageSignature(manifestText, readFile(signature.c_str()), SerialRule::anyRelease, &reason)) {
    std::fprintf(stderr, "signature refused: %s\n", reason.c_str());
    ExitProcess(2);
  }
}

// Points the temporary directory at `temporary` and reads the manifest into the file
// list as the main window does when it opens (checking its signature first with a key).
int loadPackage(const char* temporary, const char* product, const char* manifest,
                const char* baseUrl, const char* keyFile) {
  SetEnvironmentVariableA("TMP", temporary);
  char directory[MAX_PATH];
  GetTempPathA(sizeof directory, directory);
  copyCut(g_productName, sizeof g_productName, product);
  std::string root = std::string(directory) + "\\Quorvane\\Downloaded\\" + product;
  copyCut(g_downloadRoot, sizeof g_downloadRoot, root.c_str());
  std::string text = readFile(manifest);
  if (keyFile) usePublisherKey(keyFile, text, manifest);
  if (parseManifest(text.data(), static_cast<int>(text.size()), root.c_str(), baseUrl,
                    &g_fileList, &g_directoryList) != ManifestStatus::ok ||
      !g_fileList) {
    std::fprintf(stderr, "manifest %s refused\n", manifest);
    ExitProcess(2);
  }
  return listCount(g_fileList);
}

// Runs the thread while this thread serves the windows, until the hand-over.
void runUntilHandOver(LPTHREAD_START_ROUTINE body) {
  HANDLE thread = CreateThread(nullptr, 0, body, g_mainWindow, 0, nullptr);
  MSG message;
  while (GetMessageA(&message, nullptr, 0, 0) > 0) DispatchMessageA(&message);
  WaitForSingleObject(thread, INFINITE);
  CloseHandle(thread);
}

int analysis(char** argv, const char* keyFile) {
  int files = loadPackage(argv[2], argv[3], argv[4], "127.0.0.1/none", keyFile);
  if (std::strcmp(argv[5], "log") == 0) openLog(nullptr);
  chinstall fileList;
  createStandInWindow(fileList);
  double start = now();
  runUntilHandOver(&runUpdateAnalysis);
  std::fprintf(stderr, "analysis %d %.6f\n", files, g_decision - start);
  closeLog();
  return 0;
}

size_t workingSet(bool peak) {
  PROCESS_MEMORY_COUNTERS memory = {};
  memory.cb = sizeof memory;
  GetProcessMemoryInfo(GetCurrentProcess(), &memory, sizeof memory);
  return peak ? memory.PeakWorkingSetSize : memory.WorkingSetSize;
}

// The download root and the manifest's directories, as the analysis leaves them,
// and every file marked missing with its row defined.
void prepareEmptyRoot(int files) {
  char directory[MAX_PATH];
  GetTempPathA(sizeof directory, directory);
  std::string level = std::string(directory) + "\\Quorvane";
  CreateDirectoryA(level.c_str(), nullptr);
  level += "\\Downloaded";
  CreateDirectoryA(level.c_str(), nullptr);
  const std::string root = g_downloadRoot;
  CreateDirectoryA(root.c_str(), nullptr);
  for (RecordNode* node = g_directoryList; node; node = node->next)
    CreateDirectoryA((root + "\\" + static_cast<const char*>(node->item)).c_str(), nullptr);
  g_progressControl->setRowCount(files);
  for (RecordNode* node = g_fileList; node; node = node->next) {
    FileRecord* record = static_cast<FileRecord*>(node->item);
    record->missing = 1;
    g_progressControl->setRow(record->index, record->name, record->localPath, record->size, record);
  }
}

int download(char** argv, const char* keyFile) {
  int files = loadPackage(argv[2], argv[3], argv[4], argv[5], keyFile);
  if (std::strcmp(argv[6], "log") == 0) openLog(nullptr);
  chinstall fileList;
  createStandInWindow(fileList);
  prepareEmptyRoot(files);
  size_t before = workingSet(false);
  double start = now();
  runUntilHandOver(&runDownloadLoop);
  std::fprintf(stderr, "download %d %.6f %zu %zu\n", files, g_handOver - start, workingSet(true),
               before);
  closeLog();
  return 0;
}

double writeLines(HANDLE file, int lines, bool flush) {
  const char line[] = "22/12/2014 17:59:48 : already exists ,loading file ...\r\n";
  double start = now();
  for (int i = 0; i < lines; ++i) {
    DWORD written = 0;
    WriteFile(file, line, sizeof line - 1, &written, nullptr);
    if (flush) FlushFileBuffers(file);
  }
  return now() - start;
}

int flushCost(char** argv) {
  std::string path = std::string(argv[2]) + "\\flush-cost.log";
  int lines = std::atoi(argv[3]);
  HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  double flushed = writeLines(file, lines, true);
  double plain = writeLines(file, lines, false);
  CloseHandle(file);
  DeleteFileA(path.c_str());
  std::fprintf(stderr, "flush %d %.6f %.6f\n", lines, flushed, plain);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  setMessageBoxAnswerer(&answerBox);
  if ((argc == 6 || argc == 7) && std::strcmp(argv[1], "analysis") == 0)
    return analysis(argv, argc == 7 ? argv[6] : nullptr);
  if ((argc == 7 || argc == 8) && std::strcmp(argv[1], "download") == 0)
    return download(argv, argc == 8 ? argv[7] : nullptr);
  if (argc == 4 && std::strcmp(argv[1], "flush") == 0) return flushCost(argv);
  std::fprintf(stderr,
               "usage: engine_bench analysis <temp dir> <product> <manifest> log|nolog [<public key>]\n"
               "       engine_bench download <temp dir> <product> <manifest> <base url> log|nolog [<public key>]\n"
               "       engine_bench flush <temp dir> <lines>\n");
  return 2;
}

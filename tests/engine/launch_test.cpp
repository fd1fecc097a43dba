// The launch of the installer library: a declined launch, a missing library and one
// without the entry point give the run's buttons back; whole runs in a child process
// hand a checked record to a library of the tests' own and end with exit code 512,
// offering the rescue package after a success only.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "app/folder_browser.h"
#include "app/message_box.h"
#include "app/shell_open.h"
#include "download/install_descriptor.h"
#include "engine/engine_utilities.h"
#include "engine/library_launch.h"
#include "support/engine_window.h"
#include "support/scripted_message_box.h"

namespace {

std::string g_base;  // the run's directory: root\ (download root), tmp\ (log), pack\ (rescue)

std::string readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

std::string besideThisProgram(const char* name) {
  char path[MAX_PATH] = "";
  GetModuleFileNameA(nullptr, path, sizeof path);
  std::string self = path;
  return self.substr(0, self.rfind('\\') + 1) + name;
}

// A fresh run directory with the library copied into its download root, recorded as
// the engine's product (Moor-Z2), root and library name.
void prepareRun(const std::string& base, const char* library) {
  g_base = base;
  std::error_code ignored;
  std::filesystem::remove_all(base, ignored);  // process ids come round again
  for (const char* sub : {"", "\\root", "\\tmp", "\\pack", "\\installed"}) CreateDirectoryA((base + sub).c_str(), nullptr);
  SetEnvironmentVariableA("TMP", (base + "\\tmp").c_str());
  strcpy(g_productName, "Moor-Z2");
  strcpy(g_downloadRoot, (base + "\\root").c_str());
  strcpy(g_libraryName, library);
  CopyFileA(besideThisProgram(library).c_str(), (base + "\\root\\" + library).c_str(), FALSE);
}

std::string runDirectory(const char* name) {
  static const std::string temp = [] {
    char path[MAX_PATH] = "";
    GetTempPathA(sizeof path, path);
    return std::string(path);
  }();
  return temp + "vm-launch-" + std::to_string(GetCurrentProcessId()) + "-" + name;
}

// --- the child's side: answers by text, writes what it saw, never returns ---------

void note(const std::string& line) {
  std::ofstream(g_base + "\\transcript.txt", std::ios::app | std::ios::binary) << line << "\n";
}

std::string oneLine(std::string text) {
  for (size_t at = text.find('\n'); at != std::string::npos; at = text.find('\n', at)) text.replace(at, 1, "\\n");
  return text;
}

int answerByText(HWND owner, const char* text, const char* caption, UINT flags) {
  char status[256] = "";
  GetDlgItemTextA(g_mainWindow, kStatusLine, status, sizeof status);
  const bool download = IsWindowEnabled(GetDlgItem(g_mainWindow, kDownloadButton));
  const bool exit = IsWindowEnabled(GetDlgItem(g_mainWindow, kExitButton));
  char line[2048];
  snprintf(line, sizeof line, "%s|%s|%#x|%s|%s|%d%d", caption ? caption : "<none>", oneLine(text).c_str(), flags,
           owner == g_mainWindow ? "main" : owner ? "other" : "none", status, download, exit);
  note(line);
  const std::string asked = text;
  if (asked.rfind("Base Download finished", 0) == 0) return IDYES;
  if (asked == "Library question") return IDRETRY;
  if (asked.rfind("Want to save", 0) == 0) return IDYES;
  if (asked == "View Log install") return IDNO;
  return IDOK;
}

bool answerFolder(HWND, const char*, UINT, char* path) {
  strcpy(path, (g_base + "\\pack").c_str());
  return true;
}

bool noteOpen(HWND, const char* verb, const char* path) {
  note(std::string("open|") + verb + "|" + path);
  return true;
}

}  // namespace

// Runs only as the child of the tests below: VM_LAUNCH_CHILD=<directory>|<result>.
TEST(LaunchChild, RunToTheEnd) {
  char value[MAX_PATH] = "";
  if (!GetEnvironmentVariableA("VM_LAUNCH_CHILD", value, sizeof value)) GTEST_SKIP();
  const std::string setting = value;
  prepareRun(setting.substr(0, setting.find('|')), "record_check.dll");
  EngineWindow window;
  window.disableRunButtons();
  std::ofstream(g_base + "\\root\\expect.ini", std::ios::binary)
      << "Name=Value\r\nCOUNT=12\r\nPRODUCT=Moor-Z2\r\nROOT=" << g_downloadRoot
      << "\r\nWINDOW=" << reinterpret_cast<INT_PTR>(window.hwnd()) << "\r\nCHECKS=" << g_base
      << "\\checks.txt\r\nRELATED=" << g_base << "\\installed\\extra.cfg\r\nRESULT="
      << setting.substr(setting.find('|') + 1) << "\r\n";
  std::ofstream(g_base + "\\installed\\extra.cfg") << "LEVEL=3";
  setMessageBoxAnswerer(&answerByText);
  setFolderAnswerer(&answerFolder);
  setShellOpener(&noteOpen);

  offerInstallerLaunch(window.hwnd());
  std::ofstream(g_base + "\\launched.txt") << (g_installerThread.load() ? "thread" : "none");
  MSG message;
  while (GetMessageA(&message, nullptr, 0, 0) > 0) DispatchMessageA(&message);
}

namespace {

// Runs the child to its end; its exit code.
DWORD runChild(const std::string& directory, int result) {
  SetEnvironmentVariableA("VM_LAUNCH_CHILD", (directory + "|" + std::to_string(result)).c_str());
  std::string command = "\"" + besideThisProgram("launch_test.exe") + "\" --gtest_filter=LaunchChild.*";
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION child = {};
  const BOOL started = CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                                      &startup, &child);
  SetEnvironmentVariableA("VM_LAUNCH_CHILD", nullptr);
  if (!started) return 0;
  if (WaitForSingleObject(child.hProcess, 30000) == WAIT_TIMEOUT) TerminateProcess(child.hProcess, 99);
  DWORD code = 0;
  GetExitCodeProcess(child.hProcess, &code);
  CloseHandle(child.hProcess);
  CloseHandle(child.hThread);
  return code;
}

std::vector<std::string> lines(const std::string& text) {
  std::vector<std::string> out;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) out.push_back(line);
  return out;
}

const char kConfirm[] =
    "velmorin|Base Download finished,\\nNEVER DISCONNECT INTERNET NOW !!!\\nConfirme launch install|0x1034|main|"
    "Downloading recent installation finished !|00";
const char kLibraryBox[] = "Installer's ZenTrav|Library question|0x25|main|Installation ...|00";
const char kLogOffer[] = "Log|View Log install|0x1034|main|End ...|00";
const char kLastBox[] = "Downloading|Processus should be exited,\\n You can disconnect now !|0x1010|none|End ...|01";

}  // namespace

TEST(Launch, ARunWhoseLibrarySucceedsEndsWith512AfterTheRescuePackage) {
  const std::string base = runDirectory("success");
  ASSERT_EQ(runChild(base, 1), 512u);
  EXPECT_EQ(readFile(base + "\\launched.txt"), "thread");
  const std::string checks = readFile(base + "\\checks.txt");
  EXPECT_EQ(checks.find("FAIL"), std::string::npos) << checks;
  EXPECT_EQ(lines(checks).size(), 15u) << checks;

  const std::string pack = base + "\\pack";
  const std::vector<std::string> expected = {
      kConfirm,
      kLibraryBox,
      "velmorin|Installation finished.|0x1040|main|Installation ...|00",
      "Installer Confirmation|Want to save a installation into empty directory  ?|0x1044|main|Installation ...|00",
      "velmorin|You should choose a empty directory for future local mode installation ! IT'S REQUIRED !! "
      "\\nImportant for future restore a failure update !!!|0x1010|main|Installation ...|00",
      "NOTICE !!!!!!!|Please Keep directory '" + pack +
          "' for restore older installation if failure or bug future update\\nDON'T RUN SETUP.EXE BECAUSE "
          "SCENARIO IS ALREADY INSTALLED|0x1030|none|Creating a rescue setup ...|00",
      "open|Open|" + pack,
      "NOTICE !!!!!!!|DON'T RUN SETUP.EXE BECAUSE SCENARIO IS ALREADY INSTALLED !!\\nThank you download this "
      "product|0x1040|none|Creating a rescue setup ...|00",
      kLogOffer,
      kLastBox};
  EXPECT_EQ(lines(readFile(base + "\\transcript.txt")), expected);
  // The related file the library registered went into the package.
  EXPECT_EQ(readFile(pack + "\\pack\\data\\extra.cfg"), "LEVEL=3");

  const std::string console = loggedConsoleText(base + "\\tmp\\velmorin.log");
  EXPECT_NE(console.find("\nlibrary says hello\n[reffileadded] Uri(data\\extra.cfg):RelatedFile(" + base +
                         "\\installed\\extra.cfg)\n"),
            std::string::npos)
      << console;
  EXPECT_NE(console.find("Installation finished."), std::string::npos);
  std::error_code ignored;
  std::filesystem::remove_all(base, ignored);
}

TEST(Launch, ARunWhoseLibraryFailsEndsWith512WithoutTheRescuePackage) {
  const std::string base = runDirectory("failure");
  ASSERT_EQ(runChild(base, 0), 512u);
  EXPECT_EQ(readFile(base + "\\checks.txt").find("FAIL"), std::string::npos);
  EXPECT_EQ(lines(readFile(base + "\\transcript.txt")),
            (std::vector<std::string>{kConfirm, kLibraryBox,
                                      "velmorin|Installation failure.|0x1010|main|Installation ...|00", kLogOffer,
                                      kLastBox}));
  EXPECT_NE(loggedConsoleText(base + "\\tmp\\velmorin.log").find("Installation failure."), std::string::npos);
  std::error_code ignored;
  std::filesystem::remove_all(base, ignored);
}

TEST(Launch, DeclinedMissingOrWithoutEntryPointTheButtonsComeBack) {
  prepareRun(runDirectory("refused"), "no_entry.dll");
  EngineWindow window;
  ScriptedMessageBoxes boxes;

  window.disableRunButtons();
  boxes.answer({IDNO});
  offerInstallerLaunch(window.hwnd());
  EXPECT_EQ(window.statusLine(), "Downloading recent installation finished !");
  EXPECT_TRUE(window.enabled(kDownloadButton) && window.enabled(kExitButton));

  window.disableRunButtons();
  strcpy(g_libraryName, "missing.dll");
  boxes.answer({IDYES, IDOK});
  offerInstallerLaunch(window.hwnd());
  const std::string missing = "Can't load file " + g_base + "\\root\\missing.dll with error 126 (" +
                              windowsErrorText(126) + ")";
  EXPECT_TRUE(window.enabled(kDownloadButton) && window.enabled(kExitButton));

  window.disableRunButtons();
  strcpy(g_libraryName, "no_entry.dll");
  boxes.answer({IDYES, IDOK});
  offerInstallerLaunch(window.hwnd());
  const std::string noEntry = "Can't find function quorvane_install2 in file " + g_base + "\\root\\no_entry.dll";
  EXPECT_TRUE(window.enabled(kDownloadButton) && window.enabled(kExitButton));
  EXPECT_TRUE(DeleteFileA((g_base + "\\root\\no_entry.dll").c_str()));  // let go, not kept loaded

  const auto shown = boxes.boxes();
  ASSERT_EQ(shown.size(), 5u);
  EXPECT_EQ(shown[0].caption, "velmorin");
  EXPECT_EQ(shown[0].owner, window.hwnd());
  EXPECT_EQ(shown[2].text, missing);
  EXPECT_EQ(shown[4].text, noEntry);
  for (int i : {2, 4}) {
    EXPECT_EQ(shown[i].caption, "velmorin");
    EXPECT_EQ(shown[i].owner, window.hwnd());
    EXPECT_EQ(shown[i].flags, UINT(MB_ICONERROR | MB_SYSTEMMODAL));
  }
  EXPECT_EQ(window.colourOf("Can't load file"), 4);
  EXPECT_EQ(window.colourOf("Can't find function"), 4);
  EXPECT_EQ(loggedConsoleText().find("Installation ..."), std::string::npos);
}

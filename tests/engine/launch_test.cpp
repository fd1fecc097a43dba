// The launch of the installer library: a declined launch, a missing library and one
// without the entry point give the run's buttons back; whole runs in a child process
// hand a record to a test library that checks it and every service from its own
// thread, and end with exit code 512, offering the rescue package after a success only.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

#include "download/install_descriptor.h"
#include "engine/engine_utilities.h"
#include "engine/library_launch.h"
#include "services/folder_browser.h"
#include "services/message_box.h"
#include "services/shell_open.h"
#include "support/engine_window.h"
#include "support/scripted_message_box.h"
#include "support/temporary_directory.h"

namespace {
std::string g_base;  // the run's directory: root\ (download root), tmp\ (log), pack\ (rescue)

std::string besideThisProgram(const std::string& name) {
  char path[MAX_PATH] = "";
  GetModuleFileNameA(nullptr, path, sizeof path);
  return std::filesystem::path(path).parent_path().string() + "\\" + name;
}

// The name of a run's directory in the temporary directory.
std::string runName(const char* name) { return "vm-launch-" + std::to_string(GetCurrentProcessId()) + "-" + name; }

// A run in a fresh directory: its folders, the library copied into its download root;
// product Moor-Z2.
void prepareRun(const std::string& base, const char* library) {
  g_base = base;
  for (const char* sub : {"\\root", "\\tmp", "\\pack"}) CreateDirectoryA((base + sub).c_str(), nullptr);
  strcpy(g_productName, "Moor-Z2");
  strcpy(g_downloadRoot, (base + "\\root").c_str());
  strcpy(g_libraryName, library);
  CopyFileA(besideThisProgram(library).c_str(), (base + "\\root\\" + library).c_str(), FALSE);
}

// The child's answers, chosen by text; each box is noted with the status line and
// the state of buttons 1000 and Exit when it showed.
void note(const std::string& line) {
  std::ofstream(g_base + "\\transcript.txt", std::ios::app | std::ios::binary) << line << "\n";
}

int answerByText(HWND owner, const char* text, const char* caption, UINT flags) {
  char status[256] = "", line[2048];
  GetDlgItemTextA(g_mainWindow, kStatusLine, status, sizeof status);
  std::string shown = text;
  for (size_t at = shown.find('\n'); at != std::string::npos; at = shown.find('\n', at)) shown.replace(at, 1, "\\n");
  snprintf(line, sizeof line, "%s|%s|%#x|%s|%s|%d%d", caption ? caption : "<none>", shown.c_str(), flags,
           owner == g_mainWindow ? "main" : owner ? "other" : "none", status,
           IsWindowEnabled(GetDlgItem(g_mainWindow, kDownloadButton)), IsWindowEnabled(GetDlgItem(g_mainWindow, 1)));
  note(line);
  const std::string asked = text;
  if (asked.rfind("Base Download finished", 0) == 0 || asked.rfind("Want to save", 0) == 0) return IDYES;
  if (asked == "Library question") return IDRETRY;
  return asked == "View Log install" ? IDNO : IDOK;
}
}  // namespace

// Runs only as the child of the tests below: VM_LAUNCH_CHILD=<directory>|<result>.
TEST(LaunchChild, RunToTheEnd) {
  char value[MAX_PATH] = "";
  if (!GetEnvironmentVariableA("VM_LAUNCH_CHILD", value, sizeof value)) GTEST_SKIP();
  const std::string setting = value;
  prepareRun(setting.substr(0, setting.find('|')), "record_check.dll");
  const TemporaryDirectoryRedirect temporary(g_base + "\\tmp");
  EngineWindow window;
  window.disableRunButtons();
  std::ofstream(g_base + "\\root\\expect.ini", std::ios::binary)
      << "Name=Value\r\nCOUNT=12\r\nPRODUCT=Moor-Z2\r\nROOT=" << g_downloadRoot
      << "\r\nWINDOW=" << reinterpret_cast<INT_PTR>(window.hwnd()) << "\r\nCHECKS=" << g_base
      << "\\checks.txt\r\nRELATED=" << g_base << "\\extra.cfg\r\nRESULT=" << setting.substr(setting.find('|') + 1);
  std::ofstream(g_base + "\\extra.cfg") << "LEVEL=3";
  setMessageBoxAnswerer(&answerByText);
  setFolderAnswerer([](HWND, const char*, UINT, char* path) { return strcpy(path, (g_base + "\\pack").c_str()) != nullptr; });
  setShellOpener([](HWND, const char* verb, const char* path) { return note(std::string("open|") + verb + "|" + path), true; });

  offerInstallerLaunch(window.hwnd());
  std::ofstream(g_base + "\\launched.txt") << (g_installerThread.load() ? "thread" : "none");
  for (MSG message; GetMessageA(&message, nullptr, 0, 0) > 0;) DispatchMessageA(&message);
}

namespace {
// Runs a child to its end in `directory`; returns its exit code.
DWORD runChild(const std::string& directory, int result) {
  SetEnvironmentVariableA("VM_LAUNCH_CHILD", (directory + "|" + std::to_string(result)).c_str());
  std::string command = "\"" + besideThisProgram("launch_test.exe") + "\" --gtest_filter=LaunchChild.*";
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION child = {};
  const BOOL started = CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &child);
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
  const ScratchDirectory run(runName("success"));
  const std::string base = run.path(), pack = base + "\\pack";
  ASSERT_EQ(runChild(base, 1), 512u);
  EXPECT_EQ(readWholeFile(base + "\\launched.txt"), "thread");
  const std::string checks = readWholeFile(base + "\\checks.txt");
  EXPECT_EQ(checks.find("FAIL"), std::string::npos) << checks;
  EXPECT_EQ(lines(checks).size(), 15u) << checks;
  EXPECT_EQ(lines(readWholeFile(base + "\\transcript.txt")),
            (std::vector<std::string>{
                kConfirm, kLibraryBox, "velmorin|Installation finished.|0x1040|main|Installation ...|00",
                "Installer Confirmation|Want to save a installation into empty directory  ?|0x1044|main|Installation ...|00",
                "velmorin|You should choose a empty directory for future local mode installation ! IT'S REQUIRED !! "
                "\\nImportant for future restore a failure update !!!|0x1010|main|Installation ...|00",
                "NOTICE !!!!!!!|Please Keep directory '" + pack +
                    "' for restore older installation if failure or bug future update\\nDON'T RUN SETUP.EXE BECAUSE "
                    "SCENARIO IS ALREADY INSTALLED|0x1030|none|Creating a rescue setup ...|00",
                "open|Open|" + pack,
                "NOTICE !!!!!!!|DON'T RUN SETUP.EXE BECAUSE SCENARIO IS ALREADY INSTALLED !!\\nThank you download this "
                "product|0x1040|none|Creating a rescue setup ...|00",
                kLogOffer, kLastBox}));
  EXPECT_EQ(readWholeFile(pack + "\\pack\\data\\extra.cfg"), "LEVEL=3");  // the registered file
  const std::string log = readWholeFile(base + "\\tmp\\velmorin.log");
  EXPECT_NE(log.find(") \n\r\n"), std::string::npos);
  EXPECT_NE(log.find(") library says\r\n"), std::string::npos);
  EXPECT_NE(log.find(") [reffileadded]\r\n"), std::string::npos);
  EXPECT_NE(log.find(") Uri(data\\extra.cfg):RelatedFile(" + base + "\\extra.cfg)\r\n"), std::string::npos) << log;
  EXPECT_NE(log.find(") Installation finished.\r\n"), std::string::npos);
}

TEST(Launch, ARunWhoseLibraryFailsEndsWith512WithoutTheRescuePackage) {
  const ScratchDirectory run(runName("failure"));
  const std::string base = run.path();
  ASSERT_EQ(runChild(base, 0), 512u);
  EXPECT_EQ(readWholeFile(base + "\\checks.txt").find("FAIL"), std::string::npos);
  EXPECT_EQ(lines(readWholeFile(base + "\\transcript.txt")),
            (std::vector<std::string>{kConfirm, kLibraryBox,
                                      "velmorin|Installation failure.|0x1010|main|Installation ...|00", kLogOffer,
                                      kLastBox}));
  EXPECT_NE(readWholeFile(base + "\\tmp\\velmorin.log").find(") Installation failure.\r\n"), std::string::npos);
}

TEST(Launch, DeclinedMissingOrWithoutEntryPointTheButtonsComeBack) {
  const ScratchDirectory run(runName("refused"));
  prepareRun(run.path(), "no_entry.dll");
  const TemporaryDirectoryRedirect temporary(g_base + "\\tmp");
  EngineWindow window;
  ScriptedMessageBoxes boxes;
  boxes.answer({IDNO, IDYES, IDOK, IDYES, IDOK});
  for (const char* library : {"no_entry.dll", "missing.dll", "no_entry.dll"}) {
    window.disableRunButtons();
    strcpy(g_libraryName, library);
    offerInstallerLaunch(window.hwnd());
    EXPECT_EQ(window.statusLine(), "Downloading recent installation finished !");
    EXPECT_TRUE(window.runButtonsEnabled()) << library;
  }
  EXPECT_TRUE(DeleteFileA((g_base + "\\root\\no_entry.dll").c_str()));  // let go, not kept loaded

  const auto shown = boxes.boxes();
  ASSERT_EQ(shown.size(), 5u);
  EXPECT_EQ(shown[0].caption, "velmorin");
  EXPECT_EQ(shown[0].owner, window.hwnd());
  EXPECT_EQ(shown[2].text, "Can't load file " + g_base + "\\root\\missing.dll with error 126 (" +
                               windowsErrorText(126) + ")");
  EXPECT_EQ(shown[4].text, "Can't find function quorvane_install2 in file " + g_base + "\\root\\no_entry.dll");
  for (int i : {2, 4}) {
    EXPECT_EQ(shown[i].caption, "velmorin");
    EXPECT_EQ(shown[i].owner, window.hwnd());
    EXPECT_EQ(shown[i].flags, UINT(MB_ICONERROR | MB_SYSTEMMODAL));
  }
  EXPECT_EQ(window.colourOf("Can't load file"), 4);
  EXPECT_EQ(window.colourOf("Can't find function"), 4);
}

// A file Windows cannot load as a library (error 193) is named where the system's
// text has an insert for it ("Bad EXE format for %1."): no "%1" reaches the user.
TEST(Launch, AFileThatIsNoLibraryIsNamedInTheSystemsText) {
  const ScratchDirectory run(runName("bad-format"));
  prepareRun(run.path(), "not_a_library.dll");
  const TemporaryDirectoryRedirect temporary(g_base + "\\tmp");
  const std::string path = g_base + "\\root\\not_a_library.dll";
  std::ofstream(path, std::ios::binary) << "not a library";
  char* raw = nullptr;
  FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                 ERROR_BAD_EXE_FORMAT, 0x400, reinterpret_cast<LPSTR>(&raw), 0, nullptr);
  ASSERT_NE(raw, nullptr);
  std::string named(raw, std::strcspn(raw, "\r"));
  LocalFree(raw);
  const size_t insert = named.find("%1");
  ASSERT_NE(insert, std::string::npos) << named;  // the system's text names the file
  named.replace(insert, 2, path);

  EngineWindow window;
  ScriptedMessageBoxes boxes;
  boxes.answer({IDYES, IDOK});
  window.disableRunButtons();
  offerInstallerLaunch(window.hwnd());
  EXPECT_TRUE(window.runButtonsEnabled());
  const auto shown = boxes.boxes();
  ASSERT_EQ(shown.size(), 2u);
  const std::string expected = "Can't load file " + path + " with error 193 (Error Windows n\xB0" "193\n" + named + ")";
  EXPECT_EQ(shown[1].text, expected);
  EXPECT_EQ(shown[1].text.find("%1"), std::string::npos);
  EXPECT_NE(installLog().find(") " + expected + "\r\n"), std::string::npos) << installLog();
}

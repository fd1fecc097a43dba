// A whole installation with the sample installer library through the real installer,
// a rescue package saved on the way, then a restore by the package's setup.exe after
// the product is gone: everything worked through the programs' windows.
#include <gtest/gtest.h>

#include <shlobj.h>
#include <tlhelp32.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "download/md5_digest.h"
#include "net/loopback_server.h"
#include "ui/ui_driver.h"

namespace {
const char kServerPath[] = "/install/game/moorz2/";

std::string readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream bytes;
  bytes << in.rdbuf();
  return in ? bytes.str() : "<missing>";
}

// Clicks the button of the message box showing exactly `text`; false if none came.
bool answer(SetupProcess& setup, const std::string& text, int button, const char* caption = nullptr) {
  HWND box = setup.waitMessageBox(text, 30000);
  if (!box) return false;
  if (caption) {
    EXPECT_EQ(windowText(box), caption) << text;
  }
  answerBox(box, button);
  return eventually([&] { return !IsWindow(box); });
}

// The licence page: Next, tick, Next.
bool acceptLicence(SetupProcess& setup) {
  HWND page = setup.waitDialog("Installation of program Moor-Z2");
  if (!page) return false;
  clickButton(page, IDOK);
  if (!eventually([&] { return IsWindowVisible(GetDlgItem(page, 1010)) != FALSE; })) return false;
  clickButton(page, 1010);
  if (!eventually([&] { return isChecked(page, 1010); })) return false;
  clickButton(page, IDOK);
  return eventually([&] { return !IsWindow(page); });
}

// Chooses `folder` in the shell's folder browser of another process: the path is
// written into that process for BFFM_SETSELECTIONA, then OK is pressed.
bool chooseFolder(SetupProcess& setup, const std::string& folder) {
  HWND browser = setup.waitDialog("Browse for Folder", 30000);
  if (!browser) return false;
  DWORD id = 0;
  GetWindowThreadProcessId(browser, &id);
  HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_WRITE, FALSE, id);
  void* remote = VirtualAllocEx(process, nullptr, folder.size() + 1, MEM_COMMIT, PAGE_READWRITE);
  WriteProcessMemory(process, remote, folder.c_str(), folder.size() + 1, nullptr);
  // The browser fills its tree after it shows: select until its edit box names the folder.
  const std::string name = folder.substr(folder.rfind('\\') + 1);
  const bool selected = eventually([&] {
    SendMessageA(browser, BFFM_SETSELECTIONA, TRUE, reinterpret_cast<LPARAM>(remote));
    return itemText(browser, 14149) == name;
  });
  CloseHandle(process);
  if (!selected) return false;
  clickButton(browser, IDOK);
  return eventually([&] { return !IsWindow(browser); });
}

// Ends the folder windows the shell opened for a process of ours (and theirs).
void endShellWindowsOf(DWORD parent) {
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  PROCESSENTRY32 entry = {};
  entry.dwSize = sizeof entry;
  std::vector<DWORD> children;
  for (BOOL more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry))
    if (entry.th32ParentProcessID == parent) children.push_back(entry.th32ProcessID);
  CloseHandle(snapshot);
  for (DWORD child : children) {
    endShellWindowsOf(child);
    HANDLE process = OpenProcess(PROCESS_TERMINATE, FALSE, child);
    if (!process) continue;
    TerminateProcess(process, 0);
    CloseHandle(process);
  }
}

}  // namespace

TEST(Restore, InstallSaveARescuePackageThenRestoreFromItsSetup) {
  char temp[MAX_PATH];
  GetTempPathA(sizeof temp, temp);
  const std::string base = std::string(temp) + "velmorin-restore-" + std::to_string(GetCurrentProcessId());
  const std::string installed = base + "\\installed", rescue = base + "\\rescue";
  std::error_code ignored;
  std::filesystem::remove_all(base, ignored);  // process ids come round again
  for (const std::string& directory : {base, rescue}) CreateDirectoryA(directory.c_str(), nullptr);
  SetEnvironmentVariableA("TMP", base.c_str());

  // The product: the sample library under the descriptor's name, its settings, data.
  std::map<std::string, std::string> files = {
      {"setupzentrav.dll", readFile(windowsPath(SAMPLE_INSTALLER_DLL))},
      {"install.ini", "DESTINATION=" + installed + "\r\n"},
      {"data\\maps\\first.map", std::string(200000, 'm')},
      {"data\\notes.txt", "notes\r\n"},
      {"empty.dat", ""}};
  ASSERT_GT(files["setupzentrav.dll"].size(), 10000u);
  std::string manifest = "OK\r\ndata\\\r\ndata\\maps\\\r\n";
  for (const auto& [name, bytes] : files) {
    char digest[33];
    digestText(bytes.data(), static_cast<uint32_t>(bytes.size()), digest);
    manifest += name + "\r\n" + digest + "|" + std::to_string(bytes.size()) + "\r\n3141592653\r\n30000000\r\n";
  }
  LoopbackServer server(
      [&](const std::string& request, int) {
        const size_t start = request.find(kServerPath) + sizeof kServerPath - 1;
        std::string name = request.substr(start, request.find(' ', start) - start);
        for (char& c : name) c = c == '/' ? '\\' : c;
        Reply reply;
        reply.bytes = name == "downloadgi.txt" ? LoopbackServer::response(manifest)
                      : files.count(name)      ? LoopbackServer::response(files[name])
                                               : "HTTP/1.1 404 Not Found\r\nContent-Length: 0\r\n\r\n";
        return reply;
      },
      VELMORIN_TEST_PORT);

  {  // Installation in mode 0, the rescue package saved into an empty folder.
    SetupProcess setup(windowsPath(VELMORIN_LOCAL_EXE));
    ASSERT_TRUE(answer(setup,
                       "Installation setup require a internet connexion for downloading this product\n"
                       "Do you have internet connexion ?",
                       IDYES));
    ASSERT_TRUE(acceptLicence(setup)) << setup.describeWindows();
    HWND modes = setup.waitDialog("Installation Mode");
    ASSERT_NE(modes, nullptr);
    clickButton(modes, 1002);
    ASSERT_TRUE(eventually([&] { return isChecked(modes, 1002); }));
    clickButton(modes, IDOK);
    HWND main = setup.waitDialog("Install Moor-Z2 by Internet. ");
    ASSERT_NE(main, nullptr) << setup.describeWindows();
    clickButton(main, 1000);

    ASSERT_TRUE(answer(setup, "Base Download finished,\nNEVER DISCONNECT INTERNET NOW !!!\nConfirme launch install",
                       IDYES))
        << setup.describeWindows();
    ASSERT_TRUE(answer(setup, "Install Moor-Z2 (3 files) into\n" + installed + " ?", IDYES, "Installer's ZenTrav"))
        << setup.describeWindows();
    ASSERT_TRUE(answer(setup, "Installation finished.", IDOK, "velmorin")) << setup.describeWindows();
    ASSERT_TRUE(answer(setup, "Want to save a installation into empty directory  ?", IDYES));
    ASSERT_TRUE(answer(setup,
                       "You should choose a empty directory for future local mode installation ! IT'S "
                       "REQUIRED !! \nImportant for future restore a failure update !!!",
                       IDOK));
    ASSERT_TRUE(chooseFolder(setup, rescue)) << setup.describeWindows();
    ASSERT_TRUE(answer(setup,
                       "Please Keep directory '" + rescue +
                           "' for restore older installation if failure or bug future update\n"
                           "DON'T RUN SETUP.EXE BECAUSE SCENARIO IS ALREADY INSTALLED",
                       IDOK, "NOTICE !!!!!!!"))
        << setup.describeWindows();
    ASSERT_TRUE(answer(setup,
                       "DON'T RUN SETUP.EXE BECAUSE SCENARIO IS ALREADY INSTALLED !!\nThank you download this product",
                       IDOK));
    ASSERT_TRUE(answer(setup, "View Log install", IDNO, "Log"));
    ASSERT_TRUE(answer(setup, "Processus should be exited,\n You can disconnect now !", IDOK, "Downloading"));
    EXPECT_EQ(setup.waitExit(), 512u);
    endShellWindowsOf(setup.processId());
  }

  const std::string pack = rescue + "\\pack\\";
  for (const auto& [name, bytes] : files) EXPECT_EQ(readFile(pack + name), bytes) << name;
  for (const char* name : {"data\\maps\\first.map", "data\\notes.txt", "empty.dat"})
    EXPECT_EQ(readFile(installed + "\\" + name), files[name]) << name;

  // The product is lost; the rescue package's setup.exe brings it back.
  std::filesystem::remove_all(installed, ignored);
  ASSERT_FALSE(std::filesystem::exists(installed));
  {
    SetupProcess restore(pack + "setup.exe");
    HWND window = restore.waitDialog("Rescue setup of Moor-Z2");
    ASSERT_NE(window, nullptr) << restore.describeWindows();
    EXPECT_NE(itemText(window, 1013).find(rescue + "\\pack"), std::string::npos) << itemText(window, 1013);
    clickButton(window, 1000);
    ASSERT_TRUE(acceptLicence(restore)) << restore.describeWindows();
    ASSERT_TRUE(answer(restore, "Install Moor-Z2 (3 files) into\n" + installed + " ?", IDYES, "Installer's ZenTrav"))
        << restore.describeWindows();
    ASSERT_TRUE(answer(restore, "Installation finished.", IDOK, "velmorin")) << restore.describeWindows();
    ASSERT_TRUE(answer(restore, "View Log install", IDNO, "Log"));
    EXPECT_EQ(restore.waitExit(), 512u);
  }
  for (const char* name : {"data\\maps\\first.map", "data\\notes.txt", "empty.dat"})
    EXPECT_EQ(readFile(installed + "\\" + name), files[name]) << name;
  const std::string log = readFile(base + "\\velmorin.log");
  EXPECT_NE(log.find("Welcome in rescue installation program"), std::string::npos);
  EXPECT_LT(log.find("Welcome in installation program"), log.find("Welcome in rescue installation program"));

  std::filesystem::remove_all(base, ignored);
}

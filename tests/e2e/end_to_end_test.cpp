// The whole system end to end: the installer of the sample product, built for the
// loopback host, against a real nginx serving the product and the manifest that
// velmorin-manifest wrote for it. A UI driver answers every window as a person would;
// the checks look at the download root, the installed product, the rescue package,
// nginx's access log and the installation log.
#include <winsock2.h>
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "support/log_tail.h"
#include "support/system_proxy_setting.h"
#include "support/temporary_directory.h"
#include "support/test_files.h"
#include "support/user_session.h"

namespace {
namespace fs = std::filesystem;
using Files = std::map<std::string, std::string>;  // relative name -> bytes

const char kProduct[] = "Kestrel-Bay";
const char kServerPath[] = "/install/scenarios/kestrel-bay/";
const char kLaunchQuestion[] =
    "Base Download finished,\nNEVER DISCONNECT INTERNET NOW !!!\nConfirme launch install";
const int kDownloadButton = 1000;
const std::vector<std::string> kManifestOrder = {
    "data\\maps\\harbour.map", "data\\maps\\lighthouse.map", "data\\scripts\\quests\\intro.lua",
    "data\\sound\\ambience.ogg", "docs\\manual.txt", "install.ini", "sample_installer.dll"};

// A whole file; empty when it is not there (yet).
std::string readFile(const std::string& path) { return readWholeFile(path, ""); }

// Every file below `root`, by its name relative to it (backslashes).
Files filesBelow(const std::string& root) {
  Files files;
  std::error_code error;
  for (fs::recursive_directory_iterator it(root, error), end; !error && it != end; it.increment(error)) {
    if (!it->is_regular_file()) continue;
    std::string name = fs::relative(it->path(), root).string();
    for (char& c : name) c = c == '/' ? '\\' : c;
    files[name] = readFile(it->path().string());
  }
  return files;
}

Files without(Files files, const std::vector<std::string>& names) {
  for (const std::string& name : names) files.erase(name);
  return files;
}

FILETIME lastWriteTime(const std::string& path) {
  WIN32_FILE_ATTRIBUTE_DATA data = {};
  GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data);
  return data.ftLastWriteTime;
}

// The size of a file, -1 when there is none.
long long sizeOf(const std::string& path) {
  WIN32_FILE_ATTRIBUTE_DATA data = {};
  if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) return -1;
  return static_cast<long long>(data.nFileSizeHigh) << 32 | data.nFileSizeLow;
}

bool operator==(const FILETIME& a, const FILETIME& b) {
  return a.dwLowDateTime == b.dwLowDateTime && a.dwHighDateTime == b.dwHighDateTime;
}

// A request for the server's status page; its "Writing: n" counts the responses
// being sent, this one included. -1 when the server does not answer.
int responsesBeingWritten() {
  SOCKET s = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in server = {};
  server.sin_family = AF_INET;
  server.sin_port = htons(E2E_PORT);
  server.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  std::string reply;
  if (connect(s, reinterpret_cast<sockaddr*>(&server), sizeof server) == 0) {
    const char request[] = "GET /server-status HTTP/1.0\r\n\r\n";
    send(s, request, sizeof request - 1, 0);
    char buffer[1024];
    for (int got; (got = recv(s, buffer, sizeof buffer, 0)) > 0;) reply.append(buffer, static_cast<size_t>(got));
  }
  closesocket(s);
  size_t at = reply.find("Writing: ");
  return at == std::string::npos ? -1 : std::atoi(reply.c_str() + at + 9);
}

// Starts a program (a Windows one, or a Unix one: Wine starts those too, without a
// handle to wait on); with `exitCode`, waits for it and gives its exit code.
bool start(std::string commandLine, DWORD* exitCode = nullptr) {
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info = {};
  if (!CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info))
    return false;
  if (exitCode && info.hProcess) {
    WaitForSingleObject(info.hProcess, 60000);
    GetExitCodeProcess(info.hProcess, exitCode);
  }
  if (info.hProcess) CloseHandle(info.hProcess);
  if (info.hThread) CloseHandle(info.hThread);
  return true;
}

// Runs velmorin-manifest with these arguments and gives its exit code.
DWORD runManifestTool(const std::vector<std::string>& arguments) {
  std::string commandLine = "\"" + windowsPath(E2E_MANIFEST_TOOL) + "\"";
  for (const std::string& argument : arguments) commandLine += " \"" + argument + "\"";
  DWORD code = STILL_ACTIVE;
  start(commandLine, &code);
  return code;
}

// The runs of the installation log, each as its lines without their time stamps (a
// text's own line feeds end its line there); false in `ordered` when a time stamp
// goes back.
std::vector<std::vector<std::string>> logRuns(const std::string& log, bool* ordered) {
  std::vector<std::vector<std::string>> runs;
  std::string previous;
  *ordered = true;
  for (const std::string& line : linesOf(log)) {
    if (line.size() < 22 || line[0] != '(') continue;  // a line feed inside a text
    // "(dd/mm/yyyy hh:mm:ss) ": compared as yyyymmddhhmmss.
    std::string stamp = line.substr(7, 4) + line.substr(4, 2) + line.substr(1, 2) + line.substr(12, 8);
    if (stamp < previous) *ordered = false;
    previous = stamp;
    std::string text = line.substr(22);
    if (!text.empty() && text.back() == '\r') text.pop_back();
    if (text == "Running setup installation") runs.emplace_back();
    if (!runs.empty()) runs.back().push_back(text);
  }
  return runs;
}

bool holds(const std::vector<std::string>& run, const std::string& text) {
  return std::find(run.begin(), run.end(), text) != run.end();
}

class EndToEnd : public testing::Test {
 protected:
  void SetUp() override {
    WSADATA winsock;
    WSAStartup(MAKEWORD(2, 2), &winsock);
    work_ = windowsPath(E2E_WORK);
    product_ = work_ + "\\www\\install\\scenarios\\kestrel-bay";
    installed_ = work_ + "\\installed";
    // Inside the Wine prefix: the folder browser cannot select folders on drive Z:.
    case_ = systemTemporaryDirectory() + "velmorin-e2e\\" + testing::UnitTest::GetInstance()->current_test_info()->name();
    std::error_code ignored;
    fs::remove_all(case_, ignored);
    fs::remove_all(installed_, ignored);
    fs::create_directories(case_ + "\\temp");
    // The installer finds its download root and its log below TMP.
    temporary_.pointAt(case_ + "\\temp");
    root_ = case_ + "\\temp\\\\Quorvane\\Downloaded\\" + kProduct;
    log_ = case_ + "\\temp\\velmorin.log";
    served_ = without(filesBelow(product_), {"downloadgi.txt"});
    ASSERT_EQ(served_.size(), kManifestOrder.size()) << "the sample product is not served";
    requests_ = LogTail(work_ + "\\server\\access.log");
    ranges_ = LogTail(work_ + "\\server\\ranges.log");
  }

  void TearDown() override {
    if (namesServed_) MoveFileA((product_ + "\\names").c_str(), (work_ + "\\names\\names").c_str());
    restoreServedFiles();
    if (serverChanged_) controlServer("restart");
    WSACleanup();
  }
  void restoreServedFiles() {
    for (const auto& [path, saved] : savedFiles_) {
      std::ofstream(path, std::ios::binary | std::ios::trunc) << saved.first;
      setLastWriteTime(path, saved.second);
    }
    savedFiles_.clear();
  }

  // Replaces a file of the served product (put back after the case).
  void changeServedFile(const std::string& name, const std::string& bytes) {
    const std::string path = product_ + "\\" + name;
    if (!savedFiles_.count(path)) savedFiles_[path] = {readFile(path), lastWriteTime(path)};
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
  }
  static void setLastWriteTime(const std::string& path, const FILETIME& time) {
    HANDLE file = CreateFileA(path.c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    SetFileTime(file, nullptr, nullptr, &time);
    CloseHandle(file);
  }
  DWORD rebuildManifest() {
    changeServedFile("downloadgi.txt", readFile(product_ + "\\downloadgi.txt"));
    return runManifestTool({"--product", kProduct, product_});
  }

  // Stops or restarts nginx through its script, then waits until the server is in the
  // state asked for: stopped, no pid file and no answer; restarted, another nginx
  // that answers.
  bool controlServer(const std::string& command, const std::string& rate = "") {
    serverChanged_ = true;
    const std::string pidFile = work_ + "\\server\\nginx.pid", before = readFile(pidFile);
    if (!start(std::string("/bin/sh \"") + E2E_PACKAGE_SERVER + "\" " + command + " \"" + E2E_WORK + "/server\" " +
               rate))
      return false;
    return eventually(
        [&] {
          const std::string now = readFile(pidFile);
          return command == "stop" ? now.empty() && responsesBeingWritten() < 0
                                   : !now.empty() && now != before && responsesBeingWritten() > 0;
        },
        10000);
  }

  // Requests nginx has answered since the last call ("GET <path> <status> <bytes>
  // OK|"), the product's server path left out.
  std::vector<std::string> newRequests() {
    std::vector<std::string> fresh = requests_.fresh();
    for (std::string& line : fresh) {
      size_t at = line.find(kServerPath);
      if (at != std::string::npos) line.erase(at, sizeof kServerPath - 1);
    }
    return fresh;
  }
  // Requests for a range since the last call, as newRequests gives them, each with its
  // Range and If-Range values.
  std::vector<std::string> newRanges() {
    std::vector<std::string> fresh = ranges_.fresh();
    for (std::string& line : fresh) line.erase(line.find(kServerPath), sizeof kServerPath - 1);
    return fresh;
  }
  // Whether nginx answered a range request for `name` with `status`, asked for from
  // byte `from` on, with a validator sent back in If-Range.
  static bool rangeAsked(const std::string& line, std::string name, int status, long long from) {
    for (char& c : name) c = c == '\\' ? '/' : c;
    return line.rfind("GET " + name + " " + std::to_string(status) + " ", 0) == 0 &&
           line.find(" bytes=" + std::to_string(from) + "- \\x22") != std::string::npos;  // nginx writes a quote so
  }
  std::string partialOf(const std::string& name) const { return localPath(name) + ".~vm"; }

  // The access log lines of whole transfers of these files, as served now.
  std::vector<std::string> transfers(const std::vector<std::string>& names) const {
    std::vector<std::string> lines;
    for (std::string name : names) {
      const size_t size = name == "downloadgi.txt" ? readFile(product_ + "\\" + name).size() : served_.at(name).size();
      for (char& c : name) c = c == '\\' ? '/' : c;
      lines.push_back("GET " + name + " 200 " + std::to_string(size) + " OK");
    }
    return lines;
  }
  std::vector<std::string> wholePackage() const {
    std::vector<std::string> names = {"downloadgi.txt"};
    names.insert(names.end(), kManifestOrder.begin(), kManifestOrder.end());
    return names;
  }

  // The download root holds the served package, each file with its time on the server.
  void expectDownloadRootAsServed() {
    EXPECT_EQ(filesBelow(root_), served_);
    for (const std::string& name : kManifestOrder) {
      EXPECT_TRUE(lastWriteTime(root_ + "\\" + name) == lastWriteTime(product_ + "\\" + name)) << name;
    }
  }
  Files productFiles() const { return without(served_, {"sample_installer.dll", "install.ini"}); }
  std::string libraryQuestion() const {
    return "Install " + std::string(kProduct) + " (" + std::to_string(productFiles_) + " files) into\n" + installed_ +
           " ?";
  }
  std::string localPath(const std::string& name) const { return root_ + "\\" + name; }

  // A run in mode 0 from the network question to the main window, started at once.
  HWND startDownload(UserSession& user) {
    HWND main = user.openMainWindow(kSingleComputerMode);
    if (main) clickButton(main, kDownloadButton);
    return main;
  }
  // The launch accepted, the sample library's question, the result; then the rescue
  // package saved into `rescue` (or declined when empty), the log declined: the exit code.
  DWORD installAndFinish(UserSession& user, const std::string& rescue) {
    if (!user.answer(kLaunchQuestion, IDYES, "launch") || !user.answer(libraryQuestion(), IDYES, "library") ||
        !user.answer("Installation finished.", IDOK, "finished"))
      return STILL_ACTIVE;
    if (rescue.empty() ? !user.answer("Want to save a installation into empty directory  ?", IDNO, "rescue")
                       : !user.saveRescuePackage(rescue))
      return STILL_ACTIVE;
    return user.finishRun();
  }
  // Mode 2 from the rescue package folder `pack`, the product removed first: its parent
  // holds no product folder, so the first place looked at is refused once; then the
  // installation runs to its end. The exit code, or STILL_ACTIVE.
  DWORD installFromPackage(const std::string& installer, const std::string& pack) {
    std::error_code ignored;
    fs::remove_all(installed_, ignored);
    UserSession user(windowsPath(installer));
    HWND main = user.openMainWindow(kFromDirectoryMode);
    if (!main) return STILL_ACTIVE;
    clickButton(main, kDownloadButton);
    if (!user.chooseFolder("Select directory containing a installation", pack, "directory") ||
        !user.answer("Bad directory installation , try select parent directory\n", IDOK, "bad")) {
      ADD_FAILURE() << user.error();
      return STILL_ACTIVE;
    }
    const DWORD code = installAndFinish(user, "");
    if (code != 512u) ADD_FAILURE() << user.error();
    return code;
  }

  TemporaryDirectoryRedirect temporary_;  // TMP of the installers this case starts
  std::string work_, product_, installed_, case_, root_, log_;
  Files served_;
  LogTail requests_, ranges_;  // nginx's access log and its log of range requests
  std::map<std::string, std::pair<std::string, FILETIME>> savedFiles_;
  bool serverChanged_ = false;
  bool namesServed_ = false;
  size_t productFiles_ = 5;  // what the sample library installs
};

TEST_F(EndToEnd, FirstInstallationSavesARescuePackageThatRestoresTheProduct) {
  const std::string rescue = case_ + "\\rescue", pack = rescue + "\\pack";
  fs::create_directories(rescue);
  {
    UserSession user(windowsPath(E2E_INSTALLER));
    HWND main = startDownload(user);
    ASSERT_NE(main, nullptr) << user.error();
    EXPECT_EQ(windowText(main).rfind(std::string("Install ") + kProduct + " by Internet. ", 0), 0u);
    EXPECT_EQ(installAndFinish(user, rescue), 512u) << user.error();
    EXPECT_FALSE(user.process().startedProcesses().empty()) << "the shell opened no folder window";
  }
  // Every file fetched once, whole, in manifest order; written with its time.
  EXPECT_EQ(newRequests(), transfers(wholePackage()));
  expectDownloadRootAsServed();
  EXPECT_EQ(filesBelow(installed_), productFiles());
  // The rescue package: the package byte for byte, the product's setup program, the readme.
  Files saved = filesBelow(pack);
  EXPECT_EQ(saved["setup.exe"], readFile(windowsPath(E2E_RESCUE_SETUP)));
  EXPECT_EQ(saved["readme.txt"],
            "Welcome ! \nSetup Rescue for scenario zentrav 'Kestrel-Bay'\n"
            "Installation package only for restore failure updating scenario 'Kestrel-Bay'");
  EXPECT_EQ(without(saved, {"setup.exe", "readme.txt"}), served_);

  // Mode 2 from the package folder: nothing comes from the server.
  EXPECT_EQ(installFromPackage(E2E_INSTALLER, pack), 512u);
  EXPECT_TRUE(newRequests().empty());
  EXPECT_EQ(filesBelow(installed_), productFiles());

  // The package's own setup program restores the product once it is gone.
  std::error_code ignored;
  fs::remove_all(installed_, ignored);
  {
    UserSession user(pack + "\\setup.exe");
    HWND window = user.process().waitDialog(std::string("Rescue setup of ") + kProduct);
    ASSERT_NE(window, nullptr) << user.process().describeWindows();
    EXPECT_NE(itemText(window, 1013).find(pack), std::string::npos) << itemText(window, 1013);
    clickButton(window, 1000);
    ASSERT_TRUE(user.acceptLicence()) << user.error();
    ASSERT_TRUE(user.answer(libraryQuestion(), IDYES, "library")) << user.error();
    ASSERT_TRUE(user.answer("Installation finished.", IDOK, "finished")) << user.error();
    ASSERT_TRUE(user.answer("View Log install", IDNO, "log")) << user.error();
    EXPECT_EQ(user.process().waitExit(), 512u);
  }
  EXPECT_EQ(filesBelow(installed_), productFiles());

  // One log for the three runs, in order.
  bool ordered = false;
  auto runs = logRuns(readFile(log_), &ordered);
  ASSERT_EQ(runs.size(), 3u) << readFile(log_);
  EXPECT_TRUE(ordered);
  EXPECT_TRUE(holds(runs[0], "Success dump file"));
  EXPECT_TRUE(holds(runs[1], "Bad directory installation , try select parent directory"));
  EXPECT_FALSE(holds(runs[1], "Success dump file"));
  EXPECT_TRUE(holds(runs[2], "Welcome in rescue installation program"));
}

TEST_F(EndToEnd, SecondRunFindsNothingNewThenOnlyTheChangedFileIsFetched) {
  {
    UserSession user(windowsPath(E2E_INSTALLER));
    ASSERT_NE(startDownload(user), nullptr) << user.error();
    ASSERT_EQ(installAndFinish(user, ""), 512u) << user.error();
  }
  newRequests();
  {  // Nothing new: the launch is offered at once; declined, the window stays.
    UserSession user(windowsPath(E2E_INSTALLER));
    HWND main = startDownload(user);
    ASSERT_NE(main, nullptr) << user.error();
    ASSERT_TRUE(user.answer("Sorry,no update needed", IDOK, "nothing")) << user.error();
    ASSERT_TRUE(user.answer(kLaunchQuestion, IDNO, "launch")) << user.error();
    EXPECT_TRUE(eventually([&] { return IsWindowEnabled(GetDlgItem(main, kDownloadButton)) != FALSE; }));
    clickButton(main, IDOK);
    EXPECT_EQ(user.process().waitExit(), 1u);
  }
  EXPECT_EQ(newRequests(), transfers({"downloadgi.txt"}));

  // One file changed on the server, with a time to the 100 ns.
  changeServedFile("docs\\manual.txt", "Kestrel Bay\r\nSecond edition: a fourth quest.\r\n");
  const FILETIME edited = {0x4C5D6E7F, 0x01DA1234};
  setLastWriteTime(product_ + "\\docs\\manual.txt", edited);
  ASSERT_EQ(rebuildManifest(), 0u);
  served_ = without(filesBelow(product_), {"downloadgi.txt"});
  {
    UserSession user(windowsPath(E2E_INSTALLER));
    ASSERT_NE(startDownload(user), nullptr) << user.error();
    ASSERT_TRUE(user.answer("A update installation is probably detected,\nconfirme update ?", IDYES, "update"))
        << user.error();
    EXPECT_EQ(installAndFinish(user, ""), 512u) << user.error();
  }
  EXPECT_EQ(newRequests(), transfers({"downloadgi.txt", "docs\\manual.txt"}));
  expectDownloadRootAsServed();
  EXPECT_TRUE(lastWriteTime(localPath("docs\\manual.txt")) == edited);
  EXPECT_EQ(filesBelow(installed_), productFiles());

  bool ordered = false;
  auto runs = logRuns(readFile(log_), &ordered);
  ASSERT_EQ(runs.size(), 3u) << readFile(log_);
  EXPECT_TRUE(ordered);
  EXPECT_TRUE(holds(runs[0], "File not found or error opening file"));
  EXPECT_TRUE(holds(runs[1], "no update needed"));
  EXPECT_FALSE(holds(runs[1], " update needed"));
  EXPECT_TRUE(holds(runs[2], " update needed"));
}

TEST_F(EndToEnd, CorruptedFileIsAskedAboutTwiceThenReported) {
  std::string bytes = served_.at("data\\maps\\lighthouse.map");
  bytes[100] = static_cast<char>(~bytes[100]);
  changeServedFile("data\\maps\\lighthouse.map", bytes);  // the manifest still has the old digest
  const std::string corrupted = localPath("data\\maps\\lighthouse.map");
  UserSession user(windowsPath(E2E_INSTALLER));
  HWND main = startDownload(user);
  ASSERT_NE(main, nullptr) << user.error();
  const std::string retry = "CRC Error during downloading " + corrupted + ", retry download file ?";
  ASSERT_TRUE(user.answer(retry, IDYES, "crc")) << user.error();
  ASSERT_TRUE(user.answer(retry, IDNO, "crc-again")) << user.error();
  ASSERT_TRUE(user.answer("Filename error " + corrupted + ", Do you this Skip this file (not recommanded) ?", IDNO,
                          "skip"))
      << user.error();
  ASSERT_TRUE(user.answer("File below downloaded has incorrect CRC  : \n" + corrupted +
                              "\n\nPlease retry download , If the problem persists, then thank you contact  "
                              "support@kestrel-bay.example",
                          IDOK, "report"))
      << user.error();
  // No launch: the window can only be closed.
  EXPECT_EQ(user.nextMessageBox(1500), nullptr);
  EXPECT_FALSE(IsWindowEnabled(GetDlgItem(main, kDownloadButton)));
  EXPECT_FALSE(IsWindowEnabled(GetDlgItem(main, IDOK)));
  PostMessageA(main, WM_CLOSE, 0, 0);
  EXPECT_EQ(user.process().waitExit(), 0u);

  std::vector<std::string> expected = transfers({"downloadgi.txt", "data\\maps\\harbour.map"});
  std::vector<std::string> twice = transfers({"data\\maps\\lighthouse.map"});
  expected.insert(expected.end(), {twice[0], twice[0]});
  std::vector<std::string> rest = transfers({"data\\scripts\\quests\\intro.lua", "data\\sound\\ambience.ogg",
                                             "docs\\manual.txt", "install.ini", "sample_installer.dll"});
  expected.insert(expected.end(), rest.begin(), rest.end());
  EXPECT_EQ(newRequests(), expected);
  EXPECT_EQ(filesBelow(root_), without(served_, {"data\\maps\\lighthouse.map"}));
}

TEST_F(EndToEnd, ServerStoppedDuringTheDownloadIsAskedAboutAndYesCompletesOnceItIsBack) {
  // Slow enough that the large file is still on its way when the server stops.
  ASSERT_TRUE(controlServer("restart", "1m"));
  UserSession user(windowsPath(E2E_INSTALLER));
  ASSERT_NE(startDownload(user), nullptr) << user.error();
  // The files before the large one are logged once complete; the large one is being sent.
  ASSERT_TRUE(eventually(
      [&] { return requests_.all().size() >= requests_.seen() + 4 && responsesBeingWritten() >= 2; }, 20000));
  ASSERT_TRUE(controlServer("stop"));

  // The cut transfer fails the attempt at once: the retry question, no digest check.
  // Yes while the server is away finds no server; Yes once it is back completes.
  const std::string retry = std::string("Failure downloading 127.0.0.1:") + std::to_string(E2E_PORT) +
                            "/install/scenarios/kestrel-bay//data/sound/ambience.ogg , retry download\n";
  HWND question = user.nextMessageBox();
  ASSERT_NE(question, nullptr) << user.error();
  EXPECT_EQ(messageBoxText(question), retry);
  // What arrived before the cut stays in the temporary file, for the retry to take up.
  const long long cut = sizeOf(partialOf("data\\sound\\ambience.ogg"));
  EXPECT_GT(cut, 0);
  ASSERT_TRUE(user.answer(retry, IDYES, "retry while the server is away")) << user.error();
  ASSERT_TRUE(user.answer("Can't connect to site", IDOK, "connect")) << user.error();
  ASSERT_TRUE(controlServer("restart"));
  ASSERT_TRUE(user.answer(retry, IDYES, "retry")) << user.error();
  EXPECT_EQ(installAndFinish(user, ""), 512u) << user.error();
  expectDownloadRootAsServed();
  EXPECT_EQ(filesBelow(installed_), productFiles());
  // The second request asked for the rest from the byte where the cut left the file.
  const std::vector<std::string> ranges = newRanges();
  ASSERT_EQ(1u, ranges.size());
  EXPECT_TRUE(rangeAsked(ranges[0], "data\\sound\\ambience.ogg", 206, cut)) << ranges[0];
  EXPECT_NE(std::string::npos, ranges[0].find(" OK ")) << "the rest arrived whole";
}

// Closed half way, the next run takes the file up where the last one left it; a server
// that ignores ranges sends the whole file, which starts from byte 0; once the file has
// changed on the server (a new upload of it, and a new manifest), the rest of the old
// one is no longer asked for as such: it starts from byte 0, and ends verified.
TEST_F(EndToEnd, ClosedHalfWayTheNextRunResumesAndAChangedFileStartsAgain) {
  const std::string large = "data\\sound\\ambience.ogg";
  ASSERT_TRUE(controlServer("restart", "1m"));
  std::vector<long long> left;  // the partial file when each run was closed
  for (int run = 0; run < 3; ++run) {
    if (run == 2) {
      ASSERT_TRUE(controlServer("restart", "1m noranges"));
    }
    UserSession user(windowsPath(E2E_INSTALLER));
    HWND main = startDownload(user);
    ASSERT_NE(main, nullptr) << user.error();
    // Resumed, the file grows past what it held; started again, it first shrinks.
    const long long from = left.empty() ? 0 : left.back();
    bool shrunk = false;
    ASSERT_TRUE(eventually(
        [&] {
          const long long now = sizeOf(partialOf(large));
          shrunk = shrunk || (now >= 0 && now < from);
          return run == 2 ? shrunk && now >= (1 << 20) : now >= from + (1 << 20);
        },
        20000));
    PostMessageA(main, WM_CLOSE, 0, 0);
    EXPECT_EQ(user.process().waitExit(), 0u);
    left.push_back(sizeOf(partialOf(large)));
    EXPECT_TRUE(left.back() > 0 && left.back() < static_cast<long long>(served_.at(large).size()));
  }
  // A new upload of the same bytes: the server's validator changes, the digest does not.
  changeServedFile(large, served_.at(large));
  ASSERT_EQ(rebuildManifest(), 0u);
  ASSERT_TRUE(controlServer("restart"));
  {
    UserSession user(windowsPath(E2E_INSTALLER));
    ASSERT_NE(startDownload(user), nullptr) << user.error();
    EXPECT_EQ(installAndFinish(user, ""), 512u) << user.error();
  }
  expectDownloadRootAsServed();
  EXPECT_FALSE(sizeOf(partialOf(large)) >= 0 || sizeOf(localPath(large) + ".~vr") >= 0);
  const std::vector<std::string> ranges = newRanges();
  ASSERT_EQ(3u, ranges.size());
  EXPECT_TRUE(rangeAsked(ranges[0], large, 206, left[0])) << ranges[0];
  EXPECT_TRUE(rangeAsked(ranges[1], large, 200, left[1])) << ranges[1];
  EXPECT_TRUE(rangeAsked(ranges[2], large, 200, left[2])) << ranges[2];
  bool ordered = false;
  auto runs = logRuns(readFile(log_), &ordered);
  ASSERT_EQ(runs.size(), 4u) << readFile(log_);
  EXPECT_TRUE(holds(runs[1], "Resuming at byte " + std::to_string(left[0]) + " of 4194304"));
  EXPECT_TRUE(holds(runs[2], "Starting again from byte 0: the server sent the whole file (200), not the rest"));
  EXPECT_TRUE(holds(runs[3], "Starting again from byte 0: the file changed on the server"));
  EXPECT_TRUE(holds(runs[3], "File not found or error opening file"));
}

// The product on an HTTPS host, reached through the proxy of the user's Internet
// settings, which wants Basic credentials: loopback goes through it (<-loopback>),
// but only names without a dot, such as localhost (every other name bypasses it, so
// that the tests running beside this one go straight as before).
TEST_F(EndToEnd, HttpsHostBehindTheSystemProxyInstallsWithEveryConnectionNoted) {
  const std::string tls = std::to_string(TLS_PORT), proxy = std::to_string(TLS_PORT + 5);
  LogTail proxyLog(windowsPath(TLS_STATE) + "\\proxy.log"), tlsLog(windowsPath(TLS_STATE) + "\\access.log");
  {
    SystemProxySetting setting("velmorin:opensesame@127.0.0.1:" + proxy, "<-loopback>;*.*");
    UserSession user(windowsPath(E2E_TLS_INSTALLER));
    ASSERT_NE(startDownload(user), nullptr) << user.error();
    EXPECT_EQ(installAndFinish(user, ""), 512u) << user.error();
  }
  expectDownloadRootAsServed();
  EXPECT_EQ(filesBelow(installed_), productFiles());
  // Every file whole from the TLS server, none from the plain one.
  std::vector<std::string> expected;
  for (const std::string& line : transfers(wholePackage())) expected.push_back(tls + " GET " + kServerPath + line.substr(4));
  EXPECT_EQ(tlsLog.fresh(), expected);
  EXPECT_TRUE(newRequests().empty());
  // Each through a tunnel of its own; the first one asked for the credentials.
  const std::vector<std::string> logged = proxyLog.fresh();
  const long tunnels = std::count_if(logged.begin(), logged.end(), [&](const std::string& line) {
    return line.find("): CONNECT localhost:" + tls + " HTTP/1.1") != std::string::npos;
  });
  EXPECT_EQ(tunnels, static_cast<long>(expected.size()) + 1);
  // The log names the TLS version and the proxy once per connection, not per chunk.
  bool ordered = false;
  auto runs = logRuns(readFile(log_), &ordered);
  ASSERT_EQ(runs.size(), 1u) << readFile(log_);
  const std::string through = ", through proxy 127.0.0.1:" + proxy + " (system settings, Basic logon)";
  const std::string prefix = "Connection to localhost:" + tls + ": TLS 1.";
  const long notes = std::count_if(runs[0].begin(), runs[0].end(), [&](const std::string& line) {
    return line.rfind(prefix, 0) == 0 && line.size() == prefix.size() + 1 + through.size() &&
           line.compare(prefix.size() + 1, std::string::npos, through) == 0;
  });
  EXPECT_EQ(notes, static_cast<long>(expected.size())) << readFile(log_);
}

// The fixture's folder of names that need escaping in an address joins the product: each
// arrives whole, asked for once by its escaped path. Manifests naming what Windows
// cannot keep are refused, each saying why.
TEST_F(EndToEnd, NamesThatNeedEscapingInstallAndARefusedManifestSaysWhy) {
  const std::vector<std::pair<std::string, std::string>> names = {  // below names\, and as asked for
      {"my file.txt", "my%20file.txt"},         {"a#b.txt", "a%23b.txt"},
      {"100%.txt", "100%25.txt"},               {"x+y&z=1.txt", "x%2By%26z%3D1.txt"},
      {"[1]'s;.txt", "%5B1%5D%27s%3B.txt"},     {"%2e%2e\\secret.txt", "%252e%252e/secret.txt"},
      {"caf\xE9.txt", "caf%E9.txt"}};
  ASSERT_TRUE(MoveFileA((work_ + "\\names\\names").c_str(), (product_ + "\\names").c_str()));
  namesServed_ = true;
  changeServedFile("downloadgi.txt", readFile(work_ + "\\names\\downloadgi.txt"));
  productFiles_ += names.size();
  {
    UserSession user(windowsPath(E2E_INSTALLER));
    ASSERT_NE(startDownload(user), nullptr) << user.error();
    EXPECT_EQ(installAndFinish(user, ""), 512u) << user.error();  // every file verified: the launch came
  }
  const std::vector<std::string> requests = newRequests();
  for (const auto& [name, path] : names) {  // each file holds its own name
    EXPECT_EQ(readFile(localPath("names\\" + name)), name);
    EXPECT_EQ(readFile(installed_ + "\\names\\" + name), name);
    const std::string served = "GET names/" + path + " 200 " + std::to_string(name.size()) + " OK";
    EXPECT_EQ(std::count(requests.begin(), requests.end(), served), 1) << served;
  }
  const std::string lines = "d41d8cd98f00b204e9800998ecf8427e|0\r\n0\r\n0\r\n";  // a file's after its name
  const std::vector<std::pair<std::string, std::string>> refused = {
      {"docs\\\r\ndocs\\Manual.txt\r\n" + lines + "DOCS\\MANUAL.TXT\r\n" + lines,
       "DOCS\\MANUAL.TXT: duplicate: Windows takes it for the same name as docs\\Manual.txt"},
      {"docs\\\r\ndocs\\what?.txt\r\n" + lines,
       "docs\\what?.txt: forbidden character: '?', which Windows does not allow in a name"},
      {"install.ini\r\n" + lines + "\r\n" + lines, "the entry after install.ini: an empty name"}};
  for (const auto& [entries, reason] : refused) {
    changeServedFile("downloadgi.txt", "OK\r\n" + entries);
    UserSession user(windowsPath(E2E_INSTALLER));
    ASSERT_TRUE(user.chooseMode(kSingleComputerMode)) << user.error();
    ASSERT_TRUE(user.answer("Location is unavailable or invalid header file downloaded", IDOK, "refused"))
        << user.error();
    EXPECT_EQ(user.process().waitExit(), 0xFFFFFFFFu) << reason;
  }
  bool ordered = false;
  auto runs = logRuns(readFile(log_), &ordered);
  ASSERT_EQ(runs.size(), 1 + refused.size()) << readFile(log_);
  for (size_t i = 0; i < refused.size(); ++i)
    EXPECT_TRUE(holds(runs[1 + i], "Install manifest refused: " + refused[i].second)) << readFile(log_);
}

// The installer built with the test's publisher key, against the signed copy of the
// product (release 1000). Whatever was tampered with, the run must end in a refusal
// or the digest questions; the tampered library, were it ever loaded, leaves its marker.
class SignedPackages : public EndToEnd {
 protected:
  void SetUp() override {
    EndToEnd::SetUp();
    product_ = work_ + "\\www\\install\\scenarios\\kestrel-bay-signed";
    served_ = filesBelow(product_);  // the download root keeps downloadgi.txt and downloadgi.sig too
    RegDeleteKeyValueA(HKEY_CURRENT_USER, kSerials, kProduct);  // no release seen yet
  }
  void TearDown() override {
    EndToEnd::TearDown();
    EXPECT_FALSE(fs::exists(case_ + "\\temp\\tampered-library-loaded")) << "the tampered library was loaded";
  }
  // The served folder signed again (its manifest written again too) as release `serial`.
  void sign(const std::string& key, int serial) {
    for (const char* name : {"downloadgi.txt", "downloadgi.sig"}) changeServedFile(name, readFile(product_ + "\\" + name));
    const DWORD code =
        runManifestTool({"--product", "Kestrel-Bay", "--sign", key, "--serial", std::to_string(serial), product_});
    ASSERT_EQ(code, 0u);
  }
  std::string refusal(const std::string& reason) const {
    return "Installation package refused :\n" + reason + "\nNothing was installed.\nLog file : " + case_ +
           "\\temp\\\\velmorin.log";
  }
  // Refused as the main window opens: the box, exit code -1, nothing written.
  void expectRefusal(const std::string& reason) {
    const Files before = filesBelow(root_);
    UserSession user(windowsPath(E2E_SIGNED_INSTALLER));
    ASSERT_TRUE(user.chooseMode(kSingleComputerMode)) << user.error();
    ASSERT_TRUE(user.answer(refusal(reason), IDOK, "refused")) << user.error();
    EXPECT_EQ(user.process().waitExit(), 0xFFFFFFFFu) << reason;
    EXPECT_EQ(filesBelow(root_), before) << reason;
  }
  static uint64_t rememberedSerial() {
    uint64_t serial = 0;
    DWORD size = sizeof serial;
    RegGetValueA(HKEY_CURRENT_USER, kSerials, kProduct, RRF_RT_QWORD, nullptr, &serial, &size);
    return serial;
  }
  static constexpr const char* kSerials = "Software\\Quorvane\\velmorin\\Serials";
  const std::string key_ = windowsPath(E2E_PRIVATE_KEY);
};

TEST_F(SignedPackages, AGenuineReleaseInstallsUpdatesAndItsPackagesAreCheckedOfflineBeforeTheyRestore) {
  const std::string rescue = case_ + "\\rescue", pack = rescue + "\\pack", manual = served_.at("docs\\manual.txt");
  const Files installed = without(served_, {"sample_installer.dll", "install.ini", "downloadgi.txt", "downloadgi.sig"});
  fs::create_directories(rescue);
  {
    UserSession user(windowsPath(E2E_SIGNED_INSTALLER));
    ASSERT_NE(startDownload(user), nullptr) << user.error();
    EXPECT_EQ(installAndFinish(user, rescue), 512u) << user.error();
  }
  // The checked manifest and signature are kept beside the package and saved with it, never installed.
  EXPECT_EQ(filesBelow(root_), served_);
  EXPECT_EQ(filesBelow(installed_), installed);
  EXPECT_EQ(without(filesBelow(pack), {"setup.exe", "readme.txt"}), served_);
  EXPECT_EQ(rememberedSerial(), 1000u);

  // Release 1001 changes the manual: the update fetches the pair and that file alone.
  changeServedFile("docs\\manual.txt", "Kestrel Bay\r\nSecond edition.\r\n");
  sign(key_, 1001);
  served_ = filesBelow(product_);
  newRequests();
  {
    UserSession user(windowsPath(E2E_SIGNED_INSTALLER));
    ASSERT_NE(startDownload(user), nullptr) << user.error();
    ASSERT_TRUE(user.answer("A update installation is probably detected,\nconfirme update ?", IDYES, "update"))
        << user.error();
    EXPECT_EQ(installAndFinish(user, ""), 512u) << user.error();
  }
  EXPECT_EQ(newRequests().size(), 3u);
  EXPECT_EQ(filesBelow(root_), served_);
  EXPECT_EQ(rememberedSerial(), 1001u);

  // Mode 2 takes the rescue package of release 1000, older but checked whole; the
  // remembered serial stays.
  EXPECT_EQ(installFromPackage(E2E_SIGNED_INSTALLER, pack), 512u);
  EXPECT_EQ(readFile(installed_ + "\\docs\\manual.txt"), manual);
  EXPECT_EQ(rememberedSerial(), 1001u);

  // Its setup.exe checks pack\ offline: it restores the package as saved, and refuses it
  // once one byte has changed.
  for (bool tampered : {false, true}) {
    if (tampered) std::ofstream(pack + "\\docs\\manual.txt", std::ios::binary | std::ios::trunc) << manual + " ";
    UserSession user(pack + "\\setup.exe");
    HWND window = user.process().waitDialog(std::string("Rescue setup of ") + kProduct);
    ASSERT_NE(window, nullptr) << user.process().describeWindows();
    clickButton(window, 1000);
    ASSERT_TRUE(user.acceptLicence()) << user.error();
    if (tampered) {
      ASSERT_TRUE(user.answer(refusal("The file " + pack + "\\docs\\manual.txt is missing or not the one the publisher signed."),
                              IDOK, "refused"))
          << user.error();
      EXPECT_EQ(user.process().waitExit(), 0xFFFFFFFFu);
    } else {
      ASSERT_TRUE(user.answer(libraryQuestion(), IDYES, "library")) << user.error();
      ASSERT_TRUE(user.answer("Installation finished.", IDOK, "finished")) << user.error();
      ASSERT_TRUE(user.answer("View Log install", IDNO, "log")) << user.error();
      EXPECT_EQ(user.process().waitExit(), 512u);
    }
  }
}

TEST_F(SignedPackages, EveryTamperedPackageIsRefusedBeforeAnythingOfItIsUsed) {
  const std::string tampered = readFile(windowsPath(E2E_TAMPERED_LIBRARY)), signature = served_.at("downloadgi.sig");
  // The library replaced, and the manifest rewritten to match it.
  changeServedFile("sample_installer.dll", tampered);
  ASSERT_EQ(rebuildManifest(), 0u);
  expectRefusal("The install manifest downloadgi.txt is not the one the publisher signed.");
  restoreServedFiles();

  // The signature file missing (nginx's error page comes instead), cut short, or
  // signed with a key made now, not the publisher's.
  changeServedFile("downloadgi.sig", signature);
  DeleteFileA((product_ + "\\downloadgi.sig").c_str());
  expectRefusal("The signature file downloadgi.sig is missing or not a signature file.");
  changeServedFile("downloadgi.sig", signature.substr(0, signature.size() - 20));
  expectRefusal("The signature file downloadgi.sig is damaged: line 12: does not end in LF (the file is cut short).");
  const DWORD code = runManifestTool({"keygen", case_ + "\\other.pem", case_ + "\\other.pub"});
  ASSERT_EQ(code, 0u);
  sign(case_ + "\\other.pem", 1000);
  expectRefusal("The signature file downloadgi.sig is not signed by the publisher: the signature is not the publisher's.");
  restoreServedFiles();

  // A file with the MD5 of the signed one but not its SHA-256: the digest questions,
  // the report, no launch, nothing written under its name.
  changeServedFile("data\\maps\\harbour.map", readFile(work_ + "\\harbour-twin.map"));
  const std::string twin = localPath("data\\maps\\harbour.map");
  {
    UserSession user(windowsPath(E2E_SIGNED_INSTALLER));
    HWND main = startDownload(user);
    ASSERT_NE(main, nullptr) << user.error();
    ASSERT_TRUE(user.answer("CRC Error during downloading " + twin + ", retry download file ?", IDNO, "crc")) << user.error();
    ASSERT_TRUE(user.answer("Filename error " + twin + ", Do you this Skip this file (not recommanded) ?", IDNO, "skip"))
        << user.error();
    ASSERT_TRUE(user.answerStarting("File below downloaded has incorrect CRC  : \n" + twin + "\n", IDOK, "report"))
        << user.error();
    EXPECT_EQ(user.nextMessageBox(1500), nullptr);
    PostMessageA(main, WM_CLOSE, 0, 0);
    EXPECT_EQ(user.process().waitExit(), 0u);
  }
  EXPECT_FALSE(fs::exists(twin));
  restoreServedFiles();

  // The library in the download root swapped while the launch question is open.
  {
    UserSession user(windowsPath(E2E_SIGNED_INSTALLER));
    HWND main = startDownload(user);
    ASSERT_NE(main, nullptr) << user.error();
    HWND question = user.process().waitMessageBox(kLaunchQuestion, 30000);
    ASSERT_NE(question, nullptr) << user.process().describeWindows();
    std::ofstream(localPath("sample_installer.dll"), std::ios::binary | std::ios::trunc) << tampered;
    ASSERT_TRUE(user.answer(kLaunchQuestion, IDYES, "launch")) << user.error();
    ASSERT_TRUE(user.answer(refusal("The installer library " + root_ + "\\sample_installer.dll is not the one the publisher signed."),
                            IDOK, "refused"))
        << user.error();
    EXPECT_TRUE(eventually([&] { return IsWindowEnabled(GetDlgItem(main, kDownloadButton)) != FALSE; }));
    PostMessageA(main, WM_CLOSE, 0, 0);
    EXPECT_EQ(user.process().waitExit(), 0u);
  }

  // Release 1000 served again once 1001 was seen.
  sign(key_, 1001);
  {
    UserSession user(windowsPath(E2E_SIGNED_INSTALLER));
    HWND main = user.openMainWindow(kSingleComputerMode);
    ASSERT_NE(main, nullptr) << user.error();
    PostMessageA(main, WM_CLOSE, 0, 0);
    EXPECT_EQ(user.process().waitExit(), 0u);
  }
  restoreServedFiles();
  expectRefusal("The package is an older release (serial 1000) than one already downloaded (serial 1001).");
  EXPECT_NE(readFile(log_).find("The package is an older release (serial 1000)"), std::string::npos);
}
}  // namespace

// The engine's worker flows through the real main window, against a generated package
// on the loopback server, with scripted answers to every box and folder browser.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>
#include <shlobj.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "console/console.h"
#include "download/install_descriptor.h"
#include "download/manifest_parser.h"
#include "download/md5_digest.h"
#include "download/partial_file.h"
#include "engine/download_loop.h"
#include "engine/engine_state.h"
#include "engine/engine_utilities.h"
#include "engine/main_dialog.h"
#include "framework/app_name.h"
#include "net/loopback_server.h"
#include "net/response_head.h"
#include "support/modal_run.h"
#include "support/scripted_folders.h"
#include "support/scripted_message_box.h"
#include "support/temporary_directory.h"
#include "support/test_files.h"

namespace {

const char kDescriptor[] = "[install]\r\nZentrav\r\ninstall\\zentrav\r\nzentrav.png\r\nsetupzentrav.dll\r\n";
const char kChild[] = "VM_ENGINE_CHILD_TEMP";  // the temporary directory of a child run
const char kLibrary[] = "setupzentrav.dll", kReadme[] = "data\\readme.txt", kEmpty[] = "data\\empty.cfg",
           kLevel1[] = "data\\maps\\level1.map", kLevel2[] = "data\\maps\\level2.map",
           kClick[] = "sound\\click.wav", kTheme[] = "sound\\theme.ogg";
const char* const kDirectories[] = {"data\\", "data\\maps\\", "sound\\"};
const UINT kErrorBox = MB_ICONERROR | MB_SYSTEMMODAL, kAsk = MB_SYSTEMMODAL | MB_ICONINFORMATION | MB_YESNO;

std::string bytesOf(const std::string& name, size_t size, unsigned seed = 0) {
  uint32_t state = 2166136261u ^ seed;
  for (char c : name) state = (state ^ static_cast<unsigned char>(c)) * 16777619u;
  std::string bytes(size, '\0');
  for (char& byte : bytes) byte = static_cast<char>((state = state * 1103515245u + 12345u) >> 16);
  return bytes;
}

struct PackageFile {
  std::string name, bytes;
  uint64_t time;
};

// The product below /install/zentrav/ of a loopback server; faults served on purpose.
class Package {
 public:
  std::vector<PackageFile> files;
  Package() : server_([this](const std::string& request, int) { return answer(request); }) {
    uint64_t time = 130638491880000000ull;  // 22 Dec 2014
    for (auto [name, size] : {std::pair<const char*, size_t>{kLibrary, 4096}, {kReadme, 1000}, {kEmpty, 0},
                              {kLevel1, 1 << 20}, {kLevel2, 65537}, {kClick, 512}, {kTheme, (3 << 20) + 7}})
      files.push_back({name, bytesOf(name, size), time += 2591234567ull});
  }
  std::string host() const { return server_.hostPort(); }
  PackageFile& file(const std::string& name) {
    return *std::find_if(files.begin(), files.end(), [&](const PackageFile& f) { return f.name == name; });
  }
  enum class Served { nothing, otherBytes, moreBytes };
  // The next `count` requests of `name` get nothing, other bytes of its size, or its
  // bytes and more; -1: all.
  void fail(const std::string& name, Served served, int count) {
    std::lock_guard<std::mutex> guard(lock_);
    faults_[name] = {served, count};
  }
  std::function<void(const std::string& name, int count)> onRequest;  // on the server's thread
  // Answers the `count`th request for `name` in place of the package, from its text.
  std::function<std::string(const std::string& request, int count)> script;
  std::string scripted;
  std::vector<std::string> requested() {
    std::lock_guard<std::mutex> guard(lock_);
    return requested_;
  }
  int requestsFor(const std::string& name) {
    std::vector<std::string> all = requested();
    return static_cast<int>(std::count(all.begin(), all.end(), name));
  }

 private:
  Reply answer(const std::string& request) {
    std::string name = request.substr(21, request.find(" HTTP/1.1") - 21);  // after "GET /install/zentrav/"
    std::replace(name.begin(), name.end(), '/', '\\');
    Reply reply;
    std::unique_lock<std::mutex> guard(lock_);
    requested_.push_back(name);
    int count = static_cast<int>(std::count(requested_.begin(), requested_.end(), name));
    std::string manifest = "OK\r\ndata\\\r\ndata\\maps\\\r\nsound\\\r\n", body;
    for (const PackageFile& f : files) {
      char digest[33];
      digestText(f.bytes.data(), static_cast<uint32_t>(f.bytes.size()), digest);
      manifest += f.name + "\r\n" + digest + "|" + std::to_string(f.bytes.size()) + "\r\n" +
                  std::to_string(f.time & 0xFFFFFFFF) + "\r\n" + std::to_string(f.time >> 32) + "\r\n";
      if (f.name == name) body = f.bytes;
    }
    auto fault = faults_.find(name);
    if (name == "downloadgi.txt") {
      reply.bytes = LoopbackServer::response(manifest);
    } else if (name == scripted) {
      reply.bytes = script(request, count);
    } else if (fault == faults_.end() || fault->second.second == 0) {
      reply.bytes = LoopbackServer::response(body);
    } else {
      fault->second.second -= fault->second.second > 0;
      if (fault->second.first == Served::otherBytes)
        reply.bytes = LoopbackServer::response(bytesOf(name, body.size(), 9));
      if (fault->second.first == Served::moreBytes) reply.bytes = LoopbackServer::response(body + "more");
    }
    guard.unlock();
    if (onRequest) onRequest(name, count);
    return reply;
  }
  std::mutex lock_;
  std::map<std::string, std::pair<Served, int>> faults_;
  std::vector<std::string> requested_;
  LoopbackServer server_;  // last: it answers through the members above
};

bool waitFor(const std::function<bool()>& condition, int milliseconds = 60000) {
  for (int waited = 0; !condition(); waited += 10) {
    if (waited >= milliseconds) return false;
    Sleep(10);
  }
  return true;
}

// By its directory entry, so that a link to a device counts too.
bool exists(const std::string& path) {
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA(path.c_str(), &found);
  return search != INVALID_HANDLE_VALUE && FindClose(search);
}

uint64_t lastWriteTimeOf(const std::string& path) {
  WIN32_FILE_ATTRIBUTE_DATA data = {};
  GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data);
  return uint64_t{data.ftLastWriteTime.dwHighDateTime} << 32 | data.ftLastWriteTime.dwLowDateTime;
}

void put(const std::string& path, const std::string& bytes, uint64_t time) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  DWORD written = 0;
  WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  FILETIME when = {static_cast<DWORD>(time), static_cast<DWORD>(time >> 32)};
  SetFileTime(file, nullptr, nullptr, &when);
  CloseHandle(file);
}

size_t count(const std::string& text, const std::string& piece) {
  size_t found = 0;
  for (size_t at = text.find(piece); at != std::string::npos; at = text.find(piece, at + 1)) ++found;
  return found;
}

// Wine runs Unix programs: `ln -s /dev/full` gives a file on which every write fails as
// on a full disk; `rm` takes the test's files away (the file functions cannot delete
// such a link, and walking a directory that holds one hangs).
bool runUnix(const std::string& command, const std::string& windowsPath, bool present) {
  using UnixName = char*(CDECL*)(const WCHAR*);
  auto unixName = reinterpret_cast<UnixName>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name")));
  std::wstring wide(windowsPath.begin(), windowsPath.end());
  std::string line = command + " \"" + unixName(wide.c_str()) + "\"";
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process;
  if (!CreateProcessA(("Z:\\bin\\" + command.substr(0, command.find(' '))).c_str(), line.data(), nullptr,
                      nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
    return false;
  CloseHandle(process.hProcess);  // a Unix program is not waited for through its handle
  CloseHandle(process.hThread);
  return waitFor([&] { return exists(windowsPath) == present; }, 10000);
}

std::atomic<int> g_handOvers{0};
WNDPROC g_dialogProcedure = nullptr;

// Counts kPackageComplete once the main window has handled it.
LRESULT CALLBACK countingHandOvers(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  LRESULT result = CallWindowProcA(g_dialogProcedure, hwnd, message, wParam, lParam);
  g_handOvers += message == kPackageComplete;
  return result;
}

class EngineScenarios : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_PROGRESS_CLASS};
    InitCommonControlsEx(&controls);
    registerConsoleClasses(GetModuleHandleA(nullptr));
    temp_ = std::getenv(kChild) ? std::getenv(kChild)
                                : systemTemporaryDirectory() + "velmorin-engine-" + std::to_string(GetCurrentProcessId());
  }
  void SetUp() override {
    CreateDirectoryA(temp_.c_str(), nullptr);
    temporary_.pointAt(temp_);  // the download root and the log go below
    levels_ = {temp_ + "\\\\Quorvane", temp_ + "\\\\Quorvane\\Downloaded\\", temp_ + "\\\\Quorvane\\Downloaded\\Zentrav"};
    root_ = levels_[2];
    host_ = package_.host();
    g_downloadHost = host_.c_str();
    g_descriptorText = kDescriptor;
    g_descriptorLength = sizeof kDescriptor - 1;
    boxes_.answerAlways("Base Download finished", IDNO);  // the launch's question, once it is built
  }
  void TearDown() override {
    forgetRun();
    EXPECT_TRUE(std::getenv(kChild) || runUnix("rm -rf", temp_, false));
  }
  static void forgetRun() {  // the lists and threads of a run end with its process
    releaseManifestLists(g_fileList, g_directoryList);
    g_fileList = g_directoryList = nullptr;
    g_downloadThread = nullptr;
  }

  // Opens the real main window in `mode`, lets `user` work it from another thread,
  // then closes it.
  void run(unsigned char mode, const std::function<void(HWND)>& user) {
    forgetRun();
    logBefore_ = exists(log()) ? readWholeFile(log()).size() : 0;
    handOversBefore_ = g_handOvers;
    requestsBefore_ = package_.requested().size();
    boxesBefore_ = boxes_.count();
    CvelmorinDlg dialog;
    dialog.installMode = mode;
    EXPECT_EQ(IDCANCEL, runWith(dialog, [&](HWND window) {
      g_dialogProcedure = reinterpret_cast<WNDPROC>(
          SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&countingHandOvers)));
      window_ = window;
      PostMessageA(window, WM_COMMAND, kDownloadButton, 0);  // at once, not after 3.5 s
      user(window);
      PostMessageA(window, WM_CLOSE, 0, 0);
    }));
  }
  int handOvers() const { return g_handOvers - handOversBefore_; }
  bool enabled(int button) const { return IsWindowEnabled(GetDlgItem(window_, button)); }
  bool waitForHandOver(int expected) {
    return waitFor([&] { return handOvers() == expected && enabled(kDownloadButton) && enabled(kExitButton); });
  }
  static bool waitForDownloadEnd() {
    return waitFor([] { return g_downloadThread.load() != nullptr; }) &&
           WaitForSingleObject(g_downloadThread.load(), 60000) == WAIT_OBJECT_0;
  }
  std::string log() const { return temp_ + "\\velmorin.log"; }
  // What the console was given in this run: the log's lines without their time stamps.
  std::string console() const {
    std::string log = readWholeFile(this->log()).substr(logBefore_), text;
    for (size_t at = 0, end; at < log.size(); at = end + 2) {
      end = std::min(log.find("\r\n", at), log.size());
      size_t stamp = log.find(") ", at);
      if (stamp < end) text += log.substr(stamp + 2, end - stamp - 2);
    }
    return text;
  }
  // Whether `text` stands on the console's screen 0 in the given colour.
  static bool onScreen(const std::string& text, int colour) {
    int size[2] = {};
    const uint16_t* cells = getCellBuffer(g_consoleWindow, 0);
    for (int at = 0; cells && getScreenSize(g_consoleWindow, 0, size) && at + text.size() <= size_t(size[0] * size[1]); ++at) {
      size_t i = 0;
      while (i < text.size() && (cells[at + i] & 0xFF) == uint8_t(text[i]) && (cells[at + i] >> 8 & 0x0F) == colour) ++i;
      if (i == text.size()) return true;
    }
    return false;
  }
  std::vector<std::string> requests() {
    std::vector<std::string> all = package_.requested();
    return {all.begin() + static_cast<long>(requestsBefore_), all.end()};
  }
  std::vector<RecordedBox> questions() const {  // of this run, without the launch's
    std::vector<RecordedBox> all = boxes_.boxes(), asked;
    std::copy_if(all.begin() + static_cast<long>(boxesBefore_), all.end(), std::back_inserter(asked),
                 [](const RecordedBox& box) { return !box.byStandingAnswer; });
    return asked;
  }
  void expectBox(const RecordedBox& box, const std::string& text, const std::string& caption, UINT flags) {
    EXPECT_EQ(text, box.text);
    EXPECT_EQ(caption + "/" + std::to_string(flags), box.caption + "/" + std::to_string(box.flags)) << text;
    EXPECT_EQ(window_, box.owner) << text;
  }
  // The write error box's text for `name`, and the Windows code it names.
  std::string writeError(const std::string& name, DWORD code) {
    return "Error Dumping file downloaded : (\n" + path(name) + ").\n" + windowsErrorText(code);
  }
  std::string path(const std::string& name) const { return root_ + "\\" + name; }
  static FileRecord* record(const std::string& name) {
    RecordNode* node = g_fileList;
    while (node && name != static_cast<FileRecord*>(node->item)->name) node = node->next;
    return node ? static_cast<FileRecord*>(node->item) : nullptr;
  }
  static int row(const std::string& name) { return g_progressControl->getRowState(record(name)->index); }
  bool holds(const std::string& name) {  // the server's bytes with the manifest's time
    return readWholeFile(path(name)) == package_.file(name).bytes && lastWriteTimeOf(path(name)) == package_.file(name).time;
  }
  void createDirectories() {
    for (const std::string& level : levels_) CreateDirectoryA(level.c_str(), nullptr);
    for (const char* directory : kDirectories) CreateDirectoryA(path(directory).c_str(), nullptr);
  }

  static inline std::string temp_;
  TemporaryDirectoryRedirect temporary_;
  Package package_;
  ScriptedMessageBoxes boxes_;
  ScriptedFolders folders_;
  std::string root_, host_;
  std::vector<std::string> levels_;
  HWND window_ = nullptr;
  size_t logBefore_ = 0, requestsBefore_ = 0, boxesBefore_ = 0;
  int handOversBefore_ = 0;
};

TEST_F(EngineScenarios, AFirstRunFetchesEverythingASecondNothingAnUpdateTheChangeOnly) {
  const std::vector<PackageFile> files = package_.files;
  run(0, [&](HWND window) {
    ASSERT_TRUE(waitForHandOver(1));
    for (const PackageFile& file : files) {
      EXPECT_TRUE(holds(file.name) && !exists(temporaryPathFor(path(file.name).c_str()))) << file.name;
      EXPECT_EQ(kRowVerified, row(file.name)) << file.name;
      EXPECT_EQ(static_cast<int>(file.bytes.size()), g_progressControl->rowValue(record(file.name)->index)) << file.name;
    }
    const int last = static_cast<int>(files.size()) - 1;
    EXPECT_EQ(last, SendDlgItemMessageA(window, kFileCountBar, PBM_GETPOS, 0, 0));
    EXPECT_EQ(last, g_progressControl->firstVisibleRow());
  });
  EXPECT_TRUE(questions().empty());
  EXPECT_EQ(files.size() + 1, requests().size());
  std::string text = console();
  for (const std::string& level : levels_) EXPECT_EQ(1u, count(text, "Creating directory  " + level + " OK \n"));
  for (const char* directory : kDirectories) EXPECT_EQ(1u, count(text, "Creating directory  " + path(directory) + " OK \n"));
  for (const PackageFile& file : files) {
    EXPECT_EQ(1u, count(text, "Scan file  " + path(file.name) + "\nFile not found or error opening file\n"));
    EXPECT_EQ(1u, count(text, "\nVerify file " + path(file.name) + "\nDownloading " + g_baseUrl + "/" + file.name +
                                  " ...\nOK ,verifying CRC ...OK\nSuccess dump file\n"));
  }

  // Everything current: no download thread, the launch is offered.
  boxes_.answer({IDOK});
  run(0, [&](HWND) {
    ASSERT_TRUE(waitForHandOver(1));
    for (const PackageFile& file : files) EXPECT_EQ(kRowPresent, row(file.name)) << file.name;
    EXPECT_EQ(nullptr, g_downloadThread.load());
    EXPECT_TRUE(onScreen(" Fail !", 4) && onScreen("no update needed", 7)) << "red, then grey again";
  });
  ASSERT_EQ(1u, questions().size());
  expectBox(questions()[0], "Sorry,no update needed", applicationName(), kErrorBox);
  EXPECT_EQ(std::vector<std::string>{"downloadgi.txt"}, requests());
  text = console();
  EXPECT_EQ(files.size(), count(text, "\nalready exists ,loading file ...checking CRC ...no update needed\n"));
  EXPECT_EQ(6u, count(text, " Fail !\n"));  // every directory exists

  // One file changed on the server: Yes to the update fetches that file only.
  package_.file(kTheme) = {kTheme, bytesOf(kTheme, 2 << 20, 7), files.back().time + 77};
  const std::string escape = root_ + "\\..\\outside.dll", sibling = levels_[1] + "Zentrax\\outside.dll";
  boxes_.answer({IDYES, IDYES, IDCONTINUE, IDCONTINUE});
  run(0, [&](HWND window) {
    ASSERT_TRUE(waitForHandOver(1));
    for (const PackageFile& file : files) {
      EXPECT_TRUE(holds(file.name)) << file.name;
      EXPECT_EQ(file.name == kTheme ? kRowVerified : kRowPresent, row(file.name)) << file.name;
    }
    // The installer library's services: related files, with and without a name in a
    // rescue package, and its own message box.
    QuorvaneRelatedFile extra = {12, "C:\\Games\\extra.cfg", "data\\extra.cfg"}, unnamed = {12, "C:\\x.dat", nullptr};
    EXPECT_TRUE(registerRelatedFile(&extra) && registerRelatedFile(&unnamed));
    ASSERT_EQ(files.size() + 2, static_cast<size_t>(listCount(g_fileList)));
    FileRecord* added = static_cast<FileRecord*>(g_fileList->last->previous->item);
    EXPECT_EQ("C:\\Games\\extra.cfg|data\\extra.cfg||", std::string(added->localPath) + "|" + added->name + "|" +
                                                           added->baseUrl + "|" + added->digest);
    EXPECT_EQ(0, added->size | added->index | added->missing | added->updateNeeded | added->digestError);
    FILETIME now;
    SYSTEMTIME local;
    GetLocalTime(&local);
    SystemTimeToFileTime(&local, &now);
    EXPECT_NEAR(double(uint64_t{now.dwHighDateTime} << 32 | now.dwLowDateTime), double(added->lastWriteTime), 1e8);
    EXPECT_EQ(IDYES, libraryMessageBox("Install the extras ?", MB_YESNO | MB_ICONQUESTION));
    // A record whose path leaves the download root is refused at the write, also into
    // a folder beside it whose name differs in its last letter only.
    CreateDirectoryA((levels_[1] + "Zentrax").c_str(), nullptr);
    for (const std::string& away : {escape, sibling}) {
      FileRecord outside = *record(kLibrary);
      std::snprintf(outside.localPath, sizeof outside.localPath, "%s", away.c_str());
      EXPECT_TRUE(downloadAndVerifyFile(&outside, window));
      EXPECT_FALSE(exists(levels_[1] + "outside.dll") || exists(sibling) || exists(away + ".~vm")) << away;
    }
  });
  std::vector<RecordedBox> asked = questions();
  ASSERT_EQ(4u, asked.size());
  expectBox(asked[0], "A update installation is probably detected,\nconfirme update ?", applicationName(),
            MB_ICONWARNING | MB_YESNO | MB_SYSTEMMODAL);
  expectBox(asked[1], "Install the extras ?", "Installer's ZenTrav", MB_YESNO | MB_ICONQUESTION);
  for (size_t i : {2, 3})
    expectBox(asked[i], "Error Dumping file downloaded : (\n" + (i == 2 ? escape : sibling) + ").\n" +
                            windowsErrorText(ERROR_BAD_PATHNAME), applicationName(), kErrorBox | MB_CANCELTRYCONTINUE);
  EXPECT_EQ((std::vector<std::string>{"downloadgi.txt", kTheme}), requests());  // nothing for a place outside
  text = console();
  EXPECT_EQ(1u, count(text, path(kTheme) + "\nalready exists ,loading file ...checking CRC ... update needed\n"));
  EXPECT_EQ(files.size() - 1, count(text, "\nalready downloaded\n"));
  EXPECT_EQ(1u, count(text, "[reffileadded] Uri(data\\extra.cfg):RelatedFile(C:\\Games\\extra.cfg)\n"));
  EXPECT_EQ(1u, count(text, "[reffileadded] Uri((null)):RelatedFile(C:\\x.dat)\n"));
}

// A file cut short keeps what arrived for the next attempt, which asks for the rest and
// appends only an answer that continues exactly that: a range from elsewhere, a changed
// file, a server that ignores ranges each start it again from byte 0. A partial file
// is never taken for the file, and what no run will take up goes once all is in place.
TEST_F(EngineScenarios, ACutFileIsTakenUpOnlyWhereTheServerContinuesIt) {
  createDirectories();
  const std::string whole = package_.file(kLevel1).bytes, etag = "ETag: \"a\"\r\n";
  const size_t half = whole.size() / 2;
  put(path(kLevel2) + ".~vm", package_.file(kLevel2).bytes, 0);  // whole, but no record of it
  for (const char* leftover : {"sound\\old.ogg.~vm", "sound\\old.ogg.~vr"}) put(path(leftover), "old", 0);
  std::vector<std::string> asked;  // the Range and If-Range of each request for level1
  package_.scripted = kLevel1;
  package_.script = [&](const std::string& request, int count) {
    asked.push_back(headerValue(request, "range") + " " + headerValue(request, "if-range"));
    const std::string partial = "HTTP/1.1 206 Partial Content\r\nContent-Range: bytes ";
    const std::string answer = LoopbackServer::response(whole, etag);
    if (count % 2 == 1 && count < 6) return answer.substr(0, answer.size() - half);  // cut half way
    if (count == 2) return partial + "0-1048575/1048576\r\n" + etag + "Content-Length: 1048576\r\n\r\n" + whole;
    if (count == 4)
      return partial + "524288-1048575/1048576\r\nETag: \"b\"\r\nContent-Length: 524288\r\n\r\n" + whole.substr(half);
    // The range ignored: the whole file, in two chunks (1000 and 0xffc18 bytes).
    return "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n" + etag + "\r\n3e8\r\n" + whole.substr(0, 1000) +
           "\r\nffc18\r\n" + whole.substr(1000) + "\r\n0\r\n\r\n";
  };
  boxes_.answer({IDYES, IDYES, IDYES});
  run(0, [&](HWND) {
    ASSERT_TRUE(waitForHandOver(1));
    for (const PackageFile& file : package_.files) EXPECT_TRUE(holds(file.name)) << file.name;
  });
  const std::string range = "bytes=524288- \"a\"";
  EXPECT_EQ((std::vector<std::string>{" ", range, " ", range, " ", range}), asked);
  EXPECT_EQ(3u, questions().size());
  const std::string text = console(), again = "\nStarting again from byte 0: ";
  EXPECT_EQ(1u, count(text, path(kLevel2) + "\nFile not found or error opening file\n"));
  EXPECT_EQ(1u, count(text, again + "the partial file has no usable record\nOK ,verifying CRC ...OK\n"));
  size_t at = 0;
  for (const char* why : {"the server sent bytes 0-1048575/1048576, not 524288-1048575/1048576",
                          "the file changed on the server", "the server sent the whole file (200), not the rest"})
    EXPECT_NE(std::string::npos, at = text.find(again + why, at)) << why;
  EXPECT_EQ(0u, count(text, "Resuming"));
  EXPECT_FALSE(exists(path("sound\\old.ogg.~vm")) || exists(path("sound\\old.ogg.~vr")) || exists(path(kLevel1) + ".~vr"));
  EXPECT_EQ(1u, count(text, "Removed " + path("sound\\old.ogg.~vr") + ", left by an interrupted download\n"));
}

// The child's half of the test below: it declines the update and must end right there.
TEST_F(EngineScenarios, ChildDeclinesTheUpdate) {
  if (!std::getenv(kChild)) GTEST_SKIP() << "the child of AnUpdateDeclinedEndsTheProcessWithOne";
  package_.file(kReadme).bytes = bytesOf(kReadme, 1000, 1);
  boxes_.answer({IDNO});
  run(0, [](HWND) {
    Sleep(60000);
    ADD_FAILURE() << "the process went on after the update was declined";
  });
}

TEST_F(EngineScenarios, AnUpdateDeclinedEndsTheProcessWithOne) {
  createDirectories();
  for (const PackageFile& file : package_.files) put(path(file.name), file.bytes, file.time);
  char program[MAX_PATH];
  GetModuleFileNameA(nullptr, program, sizeof program);
  std::string command = "\"" + std::string(program) + "\" --gtest_filter=*.ChildDeclinesTheUpdate";
  SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
  HANDLE out = CreateFileA((temp_ + "\\child.txt").c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS, 0, nullptr);
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdOutput = startup.hStdError = out;
  PROCESS_INFORMATION child = {};
  SetEnvironmentVariableA(kChild, temp_.c_str());
  BOOL started = CreateProcessA(program, command.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &child);
  SetEnvironmentVariableA(kChild, nullptr);
  CloseHandle(out);
  ASSERT_TRUE(started);
  WaitForSingleObject(child.hProcess, 120000);
  DWORD exitCode = 0;
  GetExitCodeProcess(child.hProcess, &exitCode);
  CloseHandle(child.hProcess);
  CloseHandle(child.hThread);
  std::string said = readWholeFile(temp_ + "\\child.txt"), log = console();
  EXPECT_EQ(1u, exitCode) << said;
  EXPECT_EQ(std::string::npos, said.find("[  ")) << said;  // a failing child ends with 1 too, but after its report
  EXPECT_EQ(1u, count(log, "\nalready exists ,loading file ...checking CRC ... update needed\n")) << log;
  EXPECT_EQ(0u, count(log, "Downloading ")) << "fetched after No";
  for (const PackageFile& file : package_.files) EXPECT_TRUE(holds(file.name)) << file.name;
}

TEST_F(EngineScenarios, EveryFailureIsPutToTheUserAndNoneIsTakenForSuccess) {
  createDirectories();
  // empty.cfg is held open without sharing: it cannot be replaced. theme.ogg meets a full disk.
  HANDLE holder = CreateFileA(path(kEmpty).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  ASSERT_TRUE(holder != INVALID_HANDLE_VALUE &&
              runUnix("ln -s /dev/full", temporaryPathFor(path(kTheme).c_str()), true));
  package_.fail(kReadme, Package::Served::nothing, 1);
  package_.fail(kLevel1, Package::Served::otherBytes, -1);
  package_.fail(kLevel2, Package::Served::otherBytes, 1);
  package_.fail(kClick, Package::Served::moreBytes, -1);  // the right bytes first: a mismatch all the same
  std::atomic<int> readmeRowAtRetry{0};
  package_.onRequest = [&](const std::string& name, int count) {
    if (name == kReadme && count == 2) readmeRowAtRetry = row(kReadme);
  };
  boxes_.answer({IDNO,                    // readme: no transfer, yet it is fetched again
                 IDTRYAGAIN, IDCONTINUE,  // empty.cfg: try again, then go on without it
                 IDNO, IDNO,              // level1: no retry, no skip: kept as faulty
                 IDYES,                   // level2: retried, sound the second time
                 IDNO, IDYES,             // click: skipped
                 IDCONTINUE,              // theme: the disk is full
                 IDOK});                  // the digest report
  run(0, [&](HWND window) {
    ASSERT_TRUE(waitForDownloadEnd());
    EXPECT_EQ(kRowFailed, readmeRowAtRetry.load());
    const std::map<std::string, int> rows = {{kLibrary, kRowVerified}, {kReadme, kRowVerified}, {kEmpty, kRowFailed},
                                             {kLevel1, kRowDigestMismatch}, {kLevel2, kRowVerified},
                                             {kClick, kRowDownloading}, {kTheme, kRowFailed}};
    for (const auto& [name, state] : rows) {
      EXPECT_EQ(state, row(name)) << name;
      EXPECT_EQ(state == kRowVerified, holds(name)) << name;
      EXPECT_TRUE(name == kTheme || !exists(temporaryPathFor(path(name).c_str()))) << name;
    }
    EXPECT_FALSE(exists(path(kTheme)) || exists(path(kLevel1)) || exists(path(kClick)));
    EXPECT_EQ(1, record(kLevel1)->digestError + record(kLevel2)->digestError + record(kClick)->digestError);
    EXPECT_EQ(0, handOvers()) << "the launch is offered despite a faulty file";
    EXPECT_FALSE(enabled(kDownloadButton) || enabled(kExitButton));
    char status[64] = "";
    GetDlgItemTextA(window, kStatusLine, status, sizeof status);
    EXPECT_STREQ("Downloading recent installation ...", status);
    // Fetched alone once it is served well, the faulty file is faulty no longer.
    package_.fail(kLevel1, Package::Served::nothing, 0);
    EXPECT_TRUE(downloadAndVerifyFile(record(kLevel1), window));
    EXPECT_TRUE(holds(kLevel1) && !record(kLevel1)->digestError && row(kLevel1) == kRowVerified);
  });
  std::vector<RecordedBox> asked = questions();
  ASSERT_EQ(10u, asked.size());
  EXPECT_EQ(0u, asked[0].text.find("Failure downloading " + host_ + "/install/zentrav//data/readme.txt"));
  EXPECT_EQ(asked[1].text, asked[2].text);
  DWORD heldCode = static_cast<DWORD>(std::atoi(asked[1].text.c_str() + asked[1].text.find("n\xB0") + 2));
  EXPECT_NE(0u, heldCode);
  expectBox(asked[1], writeError(kEmpty, heldCode), applicationName(), kErrorBox | MB_CANCELTRYCONTINUE);
  const std::string crc = "CRC Error during downloading ", tail = ", retry download file ?";
  const std::string skip = "Filename error ", skipTail = ", Do you this Skip this file (not recommanded) ?";
  expectBox(asked[3], crc + path(kLevel1) + tail, "Installer Confirmation", kAsk);
  expectBox(asked[4], skip + path(kLevel1) + skipTail, "Installer Confirmation", kAsk);
  expectBox(asked[5], crc + path(kLevel2) + tail, "Installer Confirmation", kAsk);
  expectBox(asked[6], crc + path(kClick) + tail, "Installer Confirmation", kAsk);
  expectBox(asked[7], skip + path(kClick) + skipTail, "Installer Confirmation", kAsk);
  // The box names the file that failed: the temporary name.
  expectBox(asked[8], writeError(kTheme + std::string(".~vm"), ERROR_DISK_FULL), applicationName(),
            kErrorBox | MB_CANCELTRYCONTINUE);
  expectBox(asked[9], "File below downloaded has incorrect CRC  : \n" + path(kLevel1) +
                          "\n\nPlease retry download , If the problem persists, then thank you contact  " + g_supportAddress,
            applicationName(), kErrorBox);
  for (const auto& [name, times] : std::map<std::string, int>{{kLibrary, 1}, {kReadme, 2}, {kEmpty, 1}, {kLevel1, 2},
                                                              {kLevel2, 2}, {kClick, 1}, {kTheme, 1}})
    EXPECT_EQ(times, package_.requestsFor(name)) << name;
  std::string text = console();
  EXPECT_EQ(4u, count(text, "Success dump file"));  // library, readme, level2, level1 alone
  EXPECT_EQ(3u, count(text, "OK ,verifying CRC ...Error\n"));
  // The full disk is met while the body arrives, before any digest is checked.
  const size_t theme = text.find("Downloading " + std::string(g_baseUrl) + "/" + kTheme + " ...\n");
  const size_t fullDisk = text.find("\n" + asked[8].text + "\n", theme);
  EXPECT_NE(std::string::npos, fullDisk);
  EXPECT_GT(text.find("OK ,verifying CRC", theme), fullDisk);

  // Everything served well now: Cancel where the file cannot be written stops the loop.
  package_.fail(kClick, Package::Served::nothing, 0);
  boxes_.answer({IDCANCEL});
  run(0, [&](HWND) {
    ASSERT_TRUE(waitForDownloadEnd());
    EXPECT_EQ(kRowFailed, row(kEmpty));
    for (const char* name : {kClick, kTheme}) EXPECT_EQ(kRowListed, row(name)) << name;
    EXPECT_FALSE(handOvers() || enabled(kDownloadButton));
  });
  EXPECT_EQ((std::vector<std::string>{"downloadgi.txt", kEmpty}), requests());
  ASSERT_EQ(1u, questions().size());
  EXPECT_EQ(asked[1].text, questions()[0].text);
  EXPECT_EQ(0u, count(console(), "Verify file " + path(kClick)));
  CloseHandle(holder);
}

TEST_F(EngineScenarios, FromADirectoryAWrongOneTheRightOneAndItsParent) {
  const std::string earlier = temp_ + "\\earlier", product = earlier + "\\Zentrav", wrong = temp_ + "\\nowhere";
  for (const std::string& directory : {earlier, product, wrong}) CreateDirectoryA(directory.c_str(), nullptr);
  put(product + "\\" + kLibrary, "the library", 0);
  folders_.answer({wrong, product, earlier, ScriptedFolders::kCancel});
  boxes_.answer({IDOK, IDOK, IDOK});
  run(2, [&](HWND window) {
    ASSERT_TRUE(waitForHandOver(1));  // wrong: both candidates fail; product: its second one
    EXPECT_EQ(product + "\\", g_downloadRoot);
    EXPECT_EQ(3u, questions().size());
    PostMessageA(window, WM_COMMAND, kDownloadButton, 0);
    ASSERT_TRUE(waitForHandOver(2));  // its parent: the first candidate
    EXPECT_EQ(product + "\\", g_downloadRoot);
    EXPECT_EQ(3u, questions().size());
    PostMessageA(window, WM_COMMAND, kDownloadButton, 0);
    EXPECT_TRUE(waitFor([&] { return folders_.calls().size() == 4 && enabled(kDownloadButton) && enabled(kExitButton); }));
  });
  EXPECT_TRUE(package_.requested().empty()) << "nothing is fetched from a directory";
  std::vector<RecordedBrowse> browsed = folders_.calls();
  ASSERT_EQ(4u, browsed.size());
  for (const RecordedBrowse& browse : browsed) {
    EXPECT_EQ("Select directory containing a installation", browse.title);
    EXPECT_EQ(UINT{BIF_RETURNONLYFSDIRS | BIF_EDITBOX | BIF_NEWDIALOGSTYLE}, browse.flags);
    EXPECT_EQ(window_, browse.owner);
  }
  const char kBad[] = "Bad directory installation , try select parent directory\n";
  std::vector<RecordedBox> asked = questions();
  ASSERT_EQ(3u, asked.size());
  for (const RecordedBox& box : asked) expectBox(box, kBad, applicationName(), kErrorBox);
  EXPECT_TRUE(asked[1].order < browsed[1].order && browsed[1].order < asked[2].order) << "the browser came back too early";
  EXPECT_EQ(3u, count(console(), kBad));
}

TEST(EngineUtilities, WindowsErrorTextTakesTheFirstLineOfTheSystemsText) {
  char* system = nullptr;
  FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM, nullptr, 5, 0,
                 reinterpret_cast<char*>(&system), 0, nullptr);
  ASSERT_NE(nullptr, system);
  EXPECT_EQ("Error Windows n\xB0" "5\n" + std::string(system, std::strcspn(system, "\r")), windowsErrorText(5));
  LocalFree(system);
  EXPECT_EQ("Unkown Error", windowsErrorText(0x2000BEEF));  // a code with no system text
}

}  // namespace

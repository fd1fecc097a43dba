// The main installer window of a real installer, worked through its windows against a
// loopback download server: its sizes, the start by itself, the file list's menu,
// and the exit codes of Exit, close and Escape in the middle of a run.
#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <functional>
#include <map>
#include <memory>
#include <string>

#include "download/md5_digest.h"
#include "net/loopback_server.h"
#include "support/temporary_directory.h"
#include "support/ui_driver.h"
#include "support/user_session.h"

namespace {
const char kMainTitle[] = "Install Moor-Z2 by Internet. ";
const char kServerPath[] = "/install/game/moorz2/";
const char kLaunchQuestion[] =
    "Base Download finished,\nNEVER DISCONNECT INTERNET NOW !!!\nConfirme launch install";
const int kStatusLine = 1012, kDownloadButton = 1000, kConsoleArea = 1010, kFileListArea = 1007,
          kFileList = 2500;
const char kFileTime[] = "3141592653\r\n30000000\r\n";  // a fixed last-write time

// A product on the loopback server: a directory and a few files, with its manifest.
struct Package {
  std::map<std::string, std::string> files;  // manifest name -> bytes
  std::string manifest() const {
    std::string text = "OK\r\ndata\\\r\n";
    for (const auto& [name, bytes] : files) {
      char digest[33];
      digestText(bytes.data(), static_cast<uint32_t>(bytes.size()), digest);
      text += name + "\r\n" + digest + "|" + std::to_string(bytes.size()) + "\r\n" + kFileTime;
    }
    return text;
  }
};

std::string requestedName(const std::string& request) {
  size_t start = request.find(kServerPath);
  size_t end = request.find(' ', start == std::string::npos ? 0 : start);
  if (start == std::string::npos || end == std::string::npos) return "";
  std::string name = request.substr(start + sizeof kServerPath - 1, end - start - sizeof kServerPath + 1);
  for (char& c : name) {
    if (c == '/') c = '\\';
  }
  return name;
}

std::string textOf(HWND window, int id) { return itemText(window, id); }

// Download and Exit both enabled again: the engine enables one after the other.
bool runButtonsEnabled(HWND main) {
  return IsWindowEnabled(GetDlgItem(main, kDownloadButton)) && IsWindowEnabled(GetDlgItem(main, IDOK));
}

int clientHeight(HWND window) {
  RECT client;
  GetClientRect(window, &client);
  return client.bottom;
}

class MainWindow : public testing::Test {
 protected:
  void SetUp() override {
    root_ = temp_ + "\\\\Quorvane\\Downloaded\\Moor-Z2";
    package_.files = {{"data\\small.txt", "a small file\n"},
                      {"data\\large.bin", std::string(3 << 20, 'x')},
                      {"empty.dat", ""},
                      {"setupzentrav.dll", "not a library"}};
  }

  // Serves the package; `reply` may change the answer for a file.
  LoopbackServer::Script serve(std::function<bool(const std::string&, Reply&)> reply = nullptr) {
    return [this, reply](const std::string& request, int) {
      std::string name = requestedName(request);
      Reply answer;
      if (reply && reply(name, answer)) return answer;
      if (name == "downloadgi.txt") {
        answer.bytes = LoopbackServer::response(package_.manifest());
      } else if (package_.files.count(name)) {
        answer.bytes = LoopbackServer::response(package_.files.at(name));
      } else {
        answer.bytes = "HTTP/1.1 404 Not Found\r\nContent-Length: 0\r\n\r\n";
      }
      return answer;
    };
  }

  // Network question, licence, mode dialog (radio `mode`), then the main window
  // with the product's title, or null.
  static HWND openMainWindow(UserSession& user, int mode) {
    HWND main = user.openMainWindow(mode);
    return main && windowText(main).rfind(kMainTitle, 0) == 0 ? main : nullptr;
  }

  static std::string scratchName() {
    static int run = 0;
    return "velmorin-main-window-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(++run);
  }
  ScratchDirectory scratch_{scratchName()};
  // The installer finds its download root and log below TMP.
  TemporaryDirectoryRedirect temporary_{scratch_.path()};
  const std::string temp_ = scratch_.path();
  std::string root_;
  Package package_;
};

// Right-clicks row `row` of the file list (scrolled to the top first) and returns the
// pop-up menu that opens, or null when none does within the time limit.
HWND rightClickRow(SetupProcess& setup, HWND main, int row, int milliseconds) {
  HWND list = GetDlgItem(main, kFileList);
  SendMessageA(list, WM_VSCROLL, SB_TOP, 0);
  PostMessageA(list, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(40, row * 32 + 16));
  PostMessageA(list, WM_RBUTTONUP, 0, MAKELPARAM(40, row * 32 + 16));
  return setup.waitPopupMenu(milliseconds);
}

TEST_F(MainWindow, OpensSmallStartsByItselfGrowsAndOffersTryDownloadOnAFailedFile) {
  // A copy of empty.dat held open without sharing: it cannot be written. small.txt is
  // there already.
  std::string blocked = root_ + "\\empty.dat";
  for (const char* level : {"\\Quorvane", "\\Quorvane\\Downloaded", "\\Quorvane\\Downloaded\\Moor-Z2",
                            "\\Quorvane\\Downloaded\\Moor-Z2\\data"})
    CreateDirectoryA((temp_ + level).c_str(), nullptr);
  std::ofstream(root_ + "\\data\\small.txt", std::ios::binary) << package_.files.at("data\\small.txt");
  HANDLE holder = CreateFileA(blocked.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  ASSERT_NE(holder, INVALID_HANDLE_VALUE);
  std::unique_ptr<void, decltype(&CloseHandle)> held(holder, &CloseHandle);

  int emptyRequests = 0;  // on the server's thread: the second time, other bytes
  LoopbackServer server(serve([&](const std::string& name, Reply& reply) {
                          if (name != "empty.dat" || ++emptyRequests != 2) return false;
                          reply.bytes = LoopbackServer::response("other bytes");
                          return true;
                        }),
                        VELMORIN_TEST_PORT);
  UserSession user(windowsPath(VELMORIN_LOCAL_EXE));
  SetupProcess& setup = user.process();
  HWND main = openMainWindow(user, kSingleComputerMode);
  ASSERT_NE(main, nullptr) << user.error();
  auto opened = std::chrono::steady_clock::now();

  // Opened small at the screen's corner, with the manifest already fetched and no run.
  RECT frame;
  GetWindowRect(main, &frame);
  EXPECT_EQ(frame.left, 0);
  EXPECT_EQ(frame.top, 0);
  RECT download;
  GetWindowRect(GetDlgItem(main, kDownloadButton), &download);
  MapWindowPoints(nullptr, main, reinterpret_cast<POINT*>(&download), 2);
  int collapsed = clientHeight(main);
  EXPECT_GE(collapsed, 100);
  EXPECT_LE(download.bottom, collapsed) << "the Download button is cut off";
  EXPECT_LT(collapsed, 200);
  ASSERT_EQ(server.requests().size(), 1u);
  EXPECT_EQ(requestedName(server.requests()[0]), "downloadgi.txt");
  EXPECT_TRUE(IsWindowEnabled(GetDlgItem(main, kDownloadButton)));
  EXPECT_FALSE(IsWindowVisible(GetDlgItem(main, 1006)));

  // The area buttons: console 640 (+8), file list 768 (+8), console again: small.
  clickButton(main, kConsoleArea);
  EXPECT_TRUE(eventually([&] { return clientHeight(main) == 648; })) << clientHeight(main);
  clickButton(main, kFileListArea);
  EXPECT_TRUE(eventually([&] { return clientHeight(main) == 776; })) << clientHeight(main);
  clickButton(main, kConsoleArea);
  EXPECT_TRUE(eventually([&] { return clientHeight(main) == collapsed; })) << clientHeight(main);
  clickButton(main, kFileListArea);  // the file list's flag was cleared: it opens again
  EXPECT_TRUE(eventually([&] { return clientHeight(main) == 776; })) << clientHeight(main);

  // The run starts by itself 3.5 s after the window opened, with both buttons disabled.
  ASSERT_TRUE(eventually([&] { return server.requests().size() > 1; }, 10000));
  double waited = std::chrono::duration<double>(std::chrono::steady_clock::now() - opened).count();
  EXPECT_GT(waited, 3.0);
  EXPECT_LT(waited, 6.0);
  EXPECT_FALSE(IsWindowEnabled(GetDlgItem(main, kDownloadButton)));
  EXPECT_FALSE(IsWindowEnabled(GetDlgItem(main, IDOK)));

  // The blocked file cannot be written. While the run waits for the answer, the last
  // file is still only listed, yet offers no menu. Continue leaves the blocked file
  // and the run goes on to the end.
  HWND writeError = setup.waitMessageBoxStarting("Error Dumping file downloaded : (\n", 30000);
  ASSERT_NE(writeError, nullptr) << setup.describeWindows();
  EXPECT_EQ(rightClickRow(setup, main, 3, 1500), nullptr) << "a menu while the run goes on";
  answerBox(writeError, IDCONTINUE);
  HWND launch = setup.waitMessageBox(kLaunchQuestion, 30000);
  ASSERT_NE(launch, nullptr) << setup.describeWindows();
  answerBox(launch, IDNO);
  ASSERT_TRUE(eventually([&] { return runButtonsEnabled(main); }));

  // The rows follow the manifest's order: data\large.bin, data\small.txt, empty.dat,
  // setupzentrav.dll. Written and present files offer no menu; the failed one does.
  EXPECT_EQ(rightClickRow(setup, main, 0, 1000), nullptr);
  EXPECT_EQ(rightClickRow(setup, main, 1, 1000), nullptr) << "a menu on a file already present";
  HWND menu = rightClickRow(setup, main, 2, 5000);
  ASSERT_NE(menu, nullptr) << setup.describeWindows();
  held.reset();  // now it can be written
  PostMessageA(menu, WM_KEYDOWN, VK_DOWN, 0);
  PostMessageA(menu, WM_KEYDOWN, VK_RETURN, 0);
  // Other bytes come: No to the retry and to the skip keep it as faulty, which offers
  // the menu again once the row shows it.
  for (const char* question : {"CRC Error during downloading ", "Filename error "}) {
    HWND box = setup.waitMessageBoxStarting(question, 10000);
    ASSERT_NE(box, nullptr) << setup.describeWindows();
    answerBox(box, IDNO);
  }
  ASSERT_TRUE(eventually([&] { return (menu = rightClickRow(setup, main, 2, 200)) != nullptr; }, 10000))
      << "no menu on a file kept with a digest mismatch";
  size_t before = server.requests().size();
  PostMessageA(menu, WM_KEYDOWN, VK_DOWN, 0);
  PostMessageA(menu, WM_KEYDOWN, VK_RETURN, 0);
  ASSERT_TRUE(eventually([&] { return server.requests().size() > before; }, 10000))
      << setup.describeWindows();
  EXPECT_EQ(requestedName(server.requests().back()), "empty.dat");
  EXPECT_TRUE(eventually([&] {  // read without opening it: an open handle would refuse the write
    WIN32_FILE_ATTRIBUTE_DATA file = {};
    return GetFileAttributesExA(blocked.c_str(), GetFileExInfoStandard, &file) &&
           file.ftLastWriteTime.dwLowDateTime == 3141592653u && file.ftLastWriteTime.dwHighDateTime == 30000000u;
  }, 10000)) << "Try Download did not write the file with the manifest's time";

  PostMessageA(main, WM_CLOSE, 0, 0);
  EXPECT_EQ(setup.waitExit(), 0u);
}

TEST_F(MainWindow, ExitInTheMiddleOfATransferEndsWithOneAfterItsWait) {
  // The large file comes slowly: 64 KiB every 50 ms.
  LoopbackServer server(serve([](const std::string& name, Reply& reply) {
                          if (name != "data\\large.bin") return false;
                          reply.bytes = LoopbackServer::response(std::string(3 << 20, 'x'));
                          reply.pieceSize = 64 << 10;
                          reply.pauseMs = 50;
                          return true;
                        }),
                        VELMORIN_TEST_PORT);
  UserSession user(windowsPath(VELMORIN_LOCAL_EXE));
  SetupProcess& setup = user.process();
  HWND main = openMainWindow(user, kSingleComputerMode);
  ASSERT_NE(main, nullptr) << user.error();
  clickButton(main, kDownloadButton);  // no need to wait for the timer
  ASSERT_TRUE(eventually([&] { return server.connections() >= 2; }, 10000));
  EXPECT_EQ(textOf(main, kStatusLine), "Downloading recent installation ...");
  auto pressed = std::chrono::steady_clock::now();
  PostMessageA(main, WM_COMMAND, IDOK, 0);  // Exit (the button itself is disabled meanwhile)
  EXPECT_EQ(setup.waitExit(20000), 1u);
  double took = std::chrono::duration<double>(std::chrono::steady_clock::now() - pressed).count();
  EXPECT_GT(took, 2.4);
}

TEST_F(MainWindow, ClosingWhileAQuestionIsOpenEndsWithZeroAndEscapeToo) {
  // setupzentrav.dll never comes: the connection closes with nothing sent.
  LoopbackServer server(serve([](const std::string& name, Reply& reply) {
                          if (name != "setupzentrav.dll") return false;
                          reply.bytes.clear();
                          return true;
                        }),
                        VELMORIN_TEST_PORT);
  {
    UserSession user(windowsPath(VELMORIN_LOCAL_EXE));
    SetupProcess& setup = user.process();
    HWND main = openMainWindow(user, kSingleComputerMode);
    ASSERT_NE(main, nullptr) << user.error();
    clickButton(main, kDownloadButton);
    HWND retry = setup.waitMessageBoxStarting("Failure downloading ", 20000);
    ASSERT_NE(retry, nullptr) << setup.describeWindows();
    PostMessageA(main, WM_CLOSE, 0, 0);
    EXPECT_EQ(setup.waitExit(20000), 0u);
  }
  {
    UserSession user(windowsPath(VELMORIN_LOCAL_EXE));
    SetupProcess& setup = user.process();
    HWND main = openMainWindow(user, kSingleComputerMode);
    ASSERT_NE(main, nullptr) << user.error();
    pressKey(main, VK_ESCAPE);
    EXPECT_EQ(setup.waitExit(20000), 0u);
  }
}

TEST_F(MainWindow, FromADirectoryNothingIsFetchedAndTheFolderBrowserOpens) {
  LoopbackServer server(serve(), VELMORIN_TEST_PORT);
  UserSession user(windowsPath(VELMORIN_LOCAL_EXE));
  SetupProcess& setup = user.process();
  HWND main = openMainWindow(user, kFromDirectoryMode);
  ASSERT_NE(main, nullptr) << user.error();
  clickButton(main, kDownloadButton);
  HWND browser = setup.waitDialog("Browse for Folder", 10000);
  ASSERT_NE(browser, nullptr) << setup.describeWindows();
  EXPECT_TRUE(server.requests().empty());
  EXPECT_FALSE(IsWindowEnabled(GetDlgItem(main, kDownloadButton)));
  answerBox(browser, IDCANCEL);  // the user gives up: the buttons come back
  EXPECT_TRUE(eventually([&] { return runButtonsEnabled(main); }));
  clickButton(main, IDOK);
  EXPECT_EQ(setup.waitExit(), 1u);
  EXPECT_TRUE(server.requests().empty());
}
}  // namespace

// The installation log on real files in the prefix's temporary directory. Each test
// points TMP and TEMP at a directory of its own, so the log it reads is its own.
#include "services/install_log.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <map>
#include <regex>
#include <string>
#include <thread>
#include <vector>

#include "support/scripted_message_box.h"
#include "support/temporary_directory.h"
#include "support/test_files.h"
#include "win32/handles.h"

namespace {

// Splits at CR LF, the log's own line end; a line feed inside a text stays in its line.
std::vector<std::string> logLines(const std::string& content) {
  std::vector<std::string> lines;
  size_t start = 0;
  for (size_t end; (end = content.find("\r\n", start)) != std::string::npos; start = end + 2)
    lines.push_back(content.substr(start, end - start));
  if (start != content.size()) lines.push_back("<unterminated>" + content.substr(start));
  return lines;
}

const std::regex kPrefix(R"(\((\d\d)/(\d\d)/(\d{4}) (\d\d):(\d\d):(\d\d)\) )");

// The text behind a well-formed prefix, or "<bad prefix>".
std::string textOf(const std::string& line) {
  std::smatch match;
  if (!std::regex_search(line, match, kPrefix, std::regex_constants::match_continuous)) return "<bad prefix>" + line;
  return match.suffix().str();
}

class InstallLog : public ::testing::Test {
 protected:
  void SetUp() override {
    directory_ = systemTemporaryDirectory() + "velmorin-log-" + std::to_string(GetCurrentProcessId()) + "-" +
                 ::testing::UnitTest::GetInstance()->current_test_info()->name();
    ASSERT_TRUE(CreateDirectoryA(directory_.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS);
    useTemporaryDirectory(directory_ + "\\");
    logPath_ = directory_ + "\\\\velmorin.log";
    DeleteFileA(logPath_.c_str());
  }

  void TearDown() override {
    closeLog();
    DeleteFileA(logPath_.c_str());
    RemoveDirectoryA(directory_.c_str());
  }

  void useTemporaryDirectory(const std::string& path) const { temporary_.pointAt(path); }

  std::string content() const { return readWholeFile(logPath_); }

  TemporaryDirectoryRedirect temporary_;  // TMP and TEMP as they were come back after each test
  std::string directory_, logPath_;
};

}  // namespace

TEST_F(InstallLog, NothingIsWrittenBeforeTheLogIsOpened) {
  writeLogLine("too early");
  EXPECT_EQ("<missing>", content());
}

TEST_F(InstallLog, LinesCarryTheLocalTimeTheTextAndCrLf) {
  ScriptedMessageBoxes boxes;
  SYSTEMTIME before;
  GetLocalTime(&before);
  openLog(nullptr);
  writeLogLine("OK");
  writeLogLine("ends in a line feed\n");
  writeLogLine("");
  writeLogLine("two\nlines");
  SYSTEMTIME after;
  GetLocalTime(&after);
  EXPECT_EQ(0u, boxes.count());

  const std::string text = content();
  const std::vector<std::string> lines = logLines(text);
  ASSERT_EQ(5u, lines.size()) << text;
  EXPECT_EQ("Running setup installation", textOf(lines[0]));
  EXPECT_EQ("OK", textOf(lines[1]));
  EXPECT_EQ("ends in a line feed\n", textOf(lines[2]));  // on disk: LF, CR, LF
  EXPECT_NE(std::string::npos, text.find("ends in a line feed\n\r\n"));
  EXPECT_EQ("", textOf(lines[3]));
  EXPECT_EQ(22u, lines[3].size()) << "an empty text leaves the prefix alone";
  EXPECT_EQ("two\nlines", textOf(lines[4]));

  // The stamp is the local time of the writing, day first.
  std::smatch stamp;
  ASSERT_TRUE(std::regex_search(lines[1], stamp, kPrefix));
  const auto field = [&](int i) { return std::stoi(stamp[i].str()); };
  const int stampedSeconds = field(4) * 3600 + field(5) * 60 + field(6);
  const int beforeSeconds = before.wHour * 3600 + before.wMinute * 60 + before.wSecond;
  const int afterSeconds = after.wHour * 3600 + after.wMinute * 60 + after.wSecond;
  if (before.wDay == after.wDay) {  // a run across midnight cannot bracket the time
    EXPECT_EQ(before.wDay, field(1));
    EXPECT_EQ(before.wMonth, field(2));
    EXPECT_EQ(before.wYear, field(3));
    EXPECT_LE(beforeSeconds, stampedSeconds);
    EXPECT_GE(afterSeconds, stampedSeconds);
  }
}

// The log as it stood at each flush.
std::string g_flushedPath;
std::vector<std::string> g_atFlush;
BOOL WINAPI recordFlush(HANDLE file) {
  g_atFlush.push_back(readWholeFile(g_flushedPath));
  return FlushFileBuffers(file);
}

TEST_F(InstallLog, EveryWholeLineIsFlushedToDiskAtOnce) {
  ScriptedMessageBoxes boxes;
  g_flushedPath = logPath_;
  g_atFlush.clear();
  setLogFlush(recordFlush);
  openLog(nullptr);
  writeLogLine("first");
  writeLogLine("second");
  setLogFlush(nullptr);
  ASSERT_EQ(3u, g_atFlush.size());  // the opening line and the two texts
  const char* const lastLine[] = {"Running setup installation", "first", "second"};
  for (size_t i = 0; i < 3; ++i) {
    ASSERT_GE(g_atFlush[i].size(), 2u);
    EXPECT_EQ("\r\n", g_atFlush[i].substr(g_atFlush[i].size() - 2)) << i;
    EXPECT_EQ(lastLine[i], textOf(logLines(g_atFlush[i]).back())) << i;
  }
}

TEST_F(InstallLog, TwoRunsAppendToOneFile) {
  ScriptedMessageBoxes boxes;
  openLog(nullptr);
  writeLogLine("first run");
  closeLog();
  writeLogLine("between runs");
  openLog(nullptr);
  writeLogLine("second run");
  closeLog();
  EXPECT_EQ(0u, boxes.count());

  const std::vector<std::string> lines = logLines(content());
  ASSERT_EQ(4u, lines.size());
  EXPECT_EQ("Running setup installation", textOf(lines[0]));
  EXPECT_EQ("first run", textOf(lines[1]));
  EXPECT_EQ("Running setup installation", textOf(lines[2]));
  EXPECT_EQ("second run", textOf(lines[3]));
}

TEST_F(InstallLog, OtherProgramsCanReadButNotWriteWhileItIsOpen) {
  ScriptedMessageBoxes boxes;
  openLog(nullptr);
  HANDLE writer = CreateFileA(logPath_.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  EXPECT_EQ(INVALID_HANDLE_VALUE, writer);
  if (writer != INVALID_HANDLE_VALUE) CloseHandle(writer);
  EXPECT_NE("<missing>", content());
}

TEST_F(InstallLog, AskViewLogStopsLoggingAndAsksWithAWarning) {
  ScriptedMessageBoxes boxes;
  boxes.answer({IDNO});
  const HWND owner = GetDesktopWindow();
  openLog(owner);
  writeLogLine("before the question");
  askViewLog(owner);
  writeLogLine("after the question");

  const std::vector<RecordedBox> shown = boxes.boxes();
  ASSERT_EQ(1u, shown.size());
  EXPECT_EQ("View Log install", shown[0].text);
  EXPECT_EQ("Log", shown[0].caption);
  EXPECT_EQ(UINT(MB_ICONWARNING | MB_YESNO | MB_SYSTEMMODAL), shown[0].flags);
  EXPECT_EQ(owner, shown[0].owner);

  closeLog();
  const std::string text = content();
  EXPECT_NE(std::string::npos, text.find("before the question"));
  EXPECT_EQ(std::string::npos, text.find("after the question"));
}

// For the length of a test, .log files open (and only open: no other verb) with a
// command that writes the path it was given into a marker file.
class LogOpener {
 public:
  explicit LogOpener(const std::string& marker) {
    const std::string command = "C:\\windows\\system32\\cmd.exe /c echo \"%1\">\"" + marker + "\"";
    HKEY key = nullptr;
    DWORD created = 0;
    // A prefix of its own has no program for .log files yet.
    ok_ = RegCreateKeyExA(HKEY_CLASSES_ROOT, ".log", 0, nullptr, 0, KEY_WRITE, nullptr, &key, &created) ==
              ERROR_SUCCESS &&
          created == REG_CREATED_NEW_KEY;
    RegistryKey(key).close();  // only its creation was needed
    ok_ = ok_ && RegSetValueA(HKEY_CLASSES_ROOT, ".log", REG_SZ, "velmorin.test.logfile", 0) == ERROR_SUCCESS &&
          RegSetValueA(HKEY_CLASSES_ROOT, "velmorin.test.logfile\\shell\\open\\command", REG_SZ,
                       command.c_str(), 0) == ERROR_SUCCESS;
  }
  ~LogOpener() {
    RegDeleteTreeA(HKEY_CLASSES_ROOT, "velmorin.test.logfile");
    if (ok_) RegDeleteKeyA(HKEY_CLASSES_ROOT, ".log");
  }
  bool ok() const { return ok_; }

 private:
  bool ok_ = false;
};

TEST_F(InstallLog, AnsweringYesOpensTheLogAndStillLogsNothingMore) {
  const std::string marker = directory_ + "\\opened.txt";
  LogOpener opener(marker);
  ASSERT_TRUE(opener.ok());
  ScriptedMessageBoxes boxes;
  boxes.answer({IDYES});
  openLog(nullptr);
  askViewLog(nullptr);
  writeLogLine("after viewing");
  EXPECT_EQ(0u, boxes.unanswered());
  // The program that opens .log files was started on the log itself.
  std::string opened;
  for (int i = 0; i < 100 && opened.find("\r\n") == std::string::npos; ++i) {
    Sleep(50);
    opened = readWholeFile(marker);
  }
  EXPECT_EQ("\"" + directory_ + "\\velmorin.log\"\r\n", opened);  // the shell drops the doubled separator
  DeleteFileA(marker.c_str());
  closeLog();
  EXPECT_EQ(std::string::npos, content().find("after viewing"));
}

TEST_F(InstallLog, FileHeldWithoutSharingGivesTheFailureBoxAndNoLog) {
  HANDLE holder = CreateFileA(logPath_.c_str(), GENERIC_READ, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                              nullptr);
  ASSERT_NE(INVALID_HANDLE_VALUE, holder);
  ScriptedMessageBoxes boxes;
  boxes.answer({IDOK});
  const HWND owner = GetDesktopWindow();
  openLog(owner);
  writeLogLine("not logged");
  CloseHandle(holder);
  writeLogLine("still not logged");

  const std::vector<RecordedBox> shown = boxes.boxes();
  ASSERT_EQ(1u, shown.size());
  EXPECT_EQ("troubleshooting creating log file (" + directory_ + "\\\\velmorin.log)", shown[0].text);
  EXPECT_EQ("log", shown[0].caption);
  EXPECT_EQ(UINT(MB_SYSTEMMODAL | MB_OK), shown[0].flags);
  EXPECT_EQ(owner, shown[0].owner);
  EXPECT_EQ("", content());
}

TEST_F(InstallLog, PathOf259CharactersIsUsedOneMoreIsRefused) {
  // A directory whose log path is exactly 259 characters long.
  std::string deep = directory_ + "\\";
  const size_t pad = 259 - std::string("\\velmorin.log").size() - deep.size() - 1;
  ASSERT_LT(pad, 240u) << "temporary directory too long for this test";
  deep += std::string(pad, 'd');
  ASSERT_TRUE(CreateDirectoryA(deep.c_str(), nullptr));
  const std::string fittingLog = deep + "\\\\velmorin.log";
  ASSERT_EQ(259u, fittingLog.size());

  ScriptedMessageBoxes boxes;
  useTemporaryDirectory(deep + "\\");
  openLog(nullptr);
  writeLogLine("deep");
  closeLog();
  EXPECT_EQ(0u, boxes.count());
  EXPECT_NE(std::string::npos, readWholeFile(fittingLog).find("deep"));

  // One character more: no log, the failure box names the whole path.
  const std::string tooDeep = deep + "e";
  ASSERT_TRUE(CreateDirectoryA(tooDeep.c_str(), nullptr) || GetLastError() == ERROR_FILENAME_EXCED_RANGE);
  boxes.answer({IDOK});
  useTemporaryDirectory(tooDeep + "\\");
  openLog(nullptr);
  writeLogLine("too deep");
  ASSERT_EQ(1u, boxes.count());
  EXPECT_EQ("troubleshooting creating log file (" + tooDeep + "\\\\velmorin.log)", boxes.boxes()[0].text);
  EXPECT_EQ("log", boxes.boxes()[0].caption);
  EXPECT_EQ("<missing>", readWholeFile(tooDeep + "\\velmorin.log"));

  DeleteFileA(fittingLog.c_str());
  RemoveDirectoryA(tooDeep.c_str());
  RemoveDirectoryA(deep.c_str());
}

TEST_F(InstallLog, VeryLongTemporaryDirectoryIsRefusedWithoutOverrun) {
  const std::string longDirectory = directory_ + "\\" + std::string(400, 'x') + "\\";
  ScriptedMessageBoxes boxes;
  boxes.answer({IDOK});
  useTemporaryDirectory(longDirectory);
  openLog(nullptr);
  writeLogLine("nowhere");
  ASSERT_EQ(1u, boxes.count());
  const std::string text = boxes.boxes()[0].text;
  EXPECT_EQ("log", boxes.boxes()[0].caption);
  EXPECT_EQ(0u, text.find("troubleshooting creating log file ("));
  EXPECT_EQ(text.size() - 14, text.find("\\velmorin.log)")) << text;
  // Wine gives no directory at all for so long a TMP: the log must not land elsewhere.
  EXPECT_EQ("<missing>", readWholeFile("\\velmorin.log"));
  EXPECT_EQ("<missing>", readWholeFile("C:\\velmorin.log"));
}

TEST_F(InstallLog, LinesFromTwoThreadsNeverInterleave) {
  ScriptedMessageBoxes boxes;
  openLog(nullptr);
  const int linesPerThread = 300;
  const auto textFor = [](char thread, int i) {
    return std::string(1, thread) + std::to_string(i) + ":" + std::string(180, thread);
  };
  const auto writer = [&](char thread) {
    for (int i = 0; i < linesPerThread; ++i) writeLogLine(textFor(thread, i).c_str());
  };
  std::thread first(writer, 'a');
  std::thread second(writer, 'b');
  first.join();
  second.join();
  closeLog();

  const std::vector<std::string> lines = logLines(content());
  ASSERT_EQ(1u + 2 * linesPerThread, lines.size());
  std::map<char, int> next{{'a', 0}, {'b', 0}};
  for (size_t i = 1; i < lines.size(); ++i) {
    const std::string text = textOf(lines[i]);
    ASSERT_FALSE(text.empty()) << lines[i];
    const char thread = text[0];
    ASSERT_TRUE(next.count(thread)) << lines[i];
    ASSERT_EQ(textFor(thread, next[thread]), text) << "line " << i;  // whole and in each thread's order
    ++next[thread];
  }
  EXPECT_EQ(linesPerThread, next['a']);
  EXPECT_EQ(linesPerThread, next['b']);
}

namespace {

DWORD WINAPI writeForever(void*) {
  for (;;) writeLogLine("from a worker that will be terminated");
}

DWORD WINAPI writeOnce(void*) {
  writeLogLine("after the worker was terminated");
  return 0;
}

}  // namespace

TEST_F(InstallLog, WorkerTerminatedInTheMiddleOfALineDoesNotStopTheLog) {
  ScriptedMessageBoxes boxes;
  openLog(nullptr);
  for (int round = 0; round < 20; ++round) {
    HANDLE worker = CreateThread(nullptr, 0, writeForever, nullptr, 0, nullptr);
    ASSERT_NE(nullptr, worker);
    Sleep(2 + round % 5);
    TerminateThread(worker, 0);  // as Exit and close do with the engine's workers
    WaitForSingleObject(worker, INFINITE);
    CloseHandle(worker);

    HANDLE next = CreateThread(nullptr, 0, writeOnce, nullptr, 0, nullptr);
    ASSERT_NE(nullptr, next);
    const DWORD waited = WaitForSingleObject(next, 5000);
    CloseHandle(next);
    ASSERT_EQ(WAIT_OBJECT_0, waited) << "a line after the terminated worker waited forever (round " << round << ")";
  }
  closeLog();
  const std::vector<std::string> lines = logLines(content());
  EXPECT_EQ("after the worker was terminated", textOf(lines.back()));
}

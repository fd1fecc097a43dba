// downloadFile against the scripted loopback server: traces, address building, the
// retry question and its answers, progress across attempts, oversize inputs.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "download/download_errors.h"
#include "download/download_file.h"
#include "net/loopback_server.h"
#include "net/socket.h"
#include "services/main_window.h"
#include "services/message_box.h"
#include "support/scripted_message_box.h"
#include "support/temporary_directory.h"
#include "support/test_files.h"

namespace {

const HWND kMainWindow = reinterpret_cast<HWND>(0x4321);
const UINT kQuestionFlags = MB_SYSTEMMODAL | MB_YESNO;

std::string pathOf(const std::string& request) {
  size_t start = request.find(' ') + 1;
  return request.substr(start, request.find(" HTTP/1.1") - start);
}

Reply send(const std::string& bytes) {
  Reply reply;
  reply.bytes = bytes;
  return reply;
}

struct Download {
  char* body = nullptr;
  int size = -1;
  std::string text() const { return body ? std::string(body, static_cast<size_t>(size)) : "<none>"; }
  ~Download() { std::free(body); }
};

// Splits progress reports into runs that each start from 0.
struct Runs {
  std::vector<int> ends;
  bool consistent = true;
  static void record(void* context, int64_t total, int chunk) {
    Runs* self = static_cast<Runs*>(context);
    if (total == chunk) {
      self->ends.push_back(total);
    } else if (self->ends.empty() || total != self->ends.back() + chunk) {
      self->consistent = false;
    } else {
      self->ends.back() = total;
    }
  }
};

class DownloadFileTest : public testing::Test {
 protected:
  void SetUp() override { g_mainWindow = kMainWindow; }
  void TearDown() override { g_mainWindow = nullptr; }
};

TEST_F(DownloadFileTest, ReturnsTheBodyAndTracesTheSteps) {
  const std::string body = std::string("bin\0ary", 7) + std::string(100000, 'q');
  LoopbackServer server([&](const std::string& request, int) {
    return send(pathOf(request) == "/install/game/file.bin" ? LoopbackServer::response(body)
                                                           : "HTTP/1.1 404\r\n\r\nno");
  });
  ScriptedMessageBoxes boxes;
  Download got;
  testing::internal::CaptureStdout();
  got.body = downloadFile((server.hostPort() + "/install/game").c_str(), "file.bin", &got.size,
                          nullptr, nullptr);
  std::string trace = testing::internal::GetCapturedStdout();
  EXPECT_TRUE(got.text() == body);
  EXPECT_EQ("\nGetting url " + server.hostPort() + "/install/game/file.bin \nendget\ntransfering\n",
            trace);
  EXPECT_EQ(0u, boxes.count());
  ASSERT_EQ(1u, server.requests().size());
  EXPECT_EQ("GET /install/game/file.bin HTTP/1.1\r\nHost: " + server.hostPort() +
                "\r\nConnection: close\r\n\r\n",
            server.requests()[0]);
}

TEST_F(DownloadFileTest, BackslashesAndSlashesGiveTheSameAddress) {
  LoopbackServer server([](const std::string&, int) { return send(LoopbackServer::response("x")); });
  Download slashed;
  Download backslashed;
  slashed.body = downloadFile((server.hostPort() + "/a/b").c_str(), "c/d.txt", &slashed.size,
                              nullptr, nullptr);
  backslashed.body = downloadFile((server.hostPort() + "\\a\\b").c_str(), "c\\d.txt",
                                  &backslashed.size, nullptr, nullptr);
  ASSERT_EQ(2u, server.requests().size());
  EXPECT_EQ("/a/b/c/d.txt", pathOf(server.requests()[0]));
  EXPECT_EQ(server.requests()[0], server.requests()[1]);
}

TEST_F(DownloadFileTest, EmptyBodyIsASuccessWithABlockToFree) {
  LoopbackServer server([](const std::string&, int) { return send(LoopbackServer::response("")); });
  Download got;
  got.body = downloadFile(server.hostPort().c_str(), "empty", &got.size, nullptr, nullptr);
  EXPECT_NE(nullptr, got.body);
  EXPECT_EQ(0, got.size);
}

TEST_F(DownloadFileTest, ErrorPageIsReturnedAsTheBody) {
  LoopbackServer server([](const std::string&, int) {
    return send("HTTP/1.1 404 Not Found\r\nContent-Length: 13\r\n\r\n<h1>404</h1>\n");
  });
  Download got;
  got.body = downloadFile(server.hostPort().c_str(), "missing", &got.size, nullptr, nullptr);
  EXPECT_EQ("<h1>404</h1>\n", got.text());
}

TEST_F(DownloadFileTest, NoAtTheFirstFailureGivesNothingAfterOneAttempt) {
  ScriptedMessageBoxes boxes;
  boxes.answer({IDNO});
  Download got;
  testing::internal::CaptureStdout();
  got.body = downloadFile("no-such-host.invalid\\install", "dir\\x.txt", &got.size, nullptr, nullptr);
  std::string trace = testing::internal::GetCapturedStdout();
  EXPECT_EQ(nullptr, got.body);
  EXPECT_EQ("\nGetting url no-such-host.invalid/install/dir/x.txt \n", trace);
  ASSERT_EQ(1u, boxes.count());
  RecordedBox box = boxes.boxes()[0];
  EXPECT_EQ("Failure downloading no-such-host.invalid/install//dir/x.txt , retry download\n",
            box.text);
  EXPECT_EQ("<none>", box.caption);
  EXPECT_EQ(nullptr, box.owner);
  EXPECT_EQ(kQuestionFlags, box.flags);
}

TEST_F(DownloadFileTest, RefusedConnectionShowsTheTransportBoxThenTheQuestion) {
  ScriptedMessageBoxes boxes;
  boxes.answer({IDOK, IDNO});
  Download got;
  std::string base = "127.0.0.1:" + std::to_string(closedLoopbackPort());
  got.body = downloadFile(base.c_str(), "f", &got.size, nullptr, nullptr);
  EXPECT_EQ(nullptr, got.body);
  ASSERT_EQ(2u, boxes.count());
  EXPECT_EQ("connect", boxes.boxes()[0].caption);
  EXPECT_EQ(kMainWindow, boxes.boxes()[0].owner);
  EXPECT_EQ("Failure downloading " + base + "//f , retry download\n", boxes.boxes()[1].text);
}

TEST_F(DownloadFileTest, FailureAfterSomeChunksThenYesStartsTheTotalsAgain) {
  // The first answer sends 300 kB and then names an address the client refuses; the
  // second is the file.
  const std::string failing = "HTTP/1.1 302 Found\r\nLocation: http://\r\nContent-Length: 300000\r\n\r\n" +
                              std::string(300000, 'p');
  const std::string good = LoopbackServer::response(std::string(150000, 'g'));
  LoopbackServer server([&](const std::string&, int index) {
    Reply reply = send(index == 0 ? failing : good);
    reply.pieceSize = 50000;
    reply.pauseMs = 5;
    return reply;
  });
  ScriptedMessageBoxes boxes;
  boxes.answer({IDYES});
  Runs runs;
  Download got;
  got.body = downloadFile(server.hostPort().c_str(), "file", &got.size, Runs::record, &runs);
  EXPECT_EQ(std::string(150000, 'g'), got.text());
  EXPECT_EQ(1u, boxes.count());
  EXPECT_EQ(2, server.connections());
  EXPECT_TRUE(runs.consistent);
  EXPECT_EQ((std::vector<int>{static_cast<int>(failing.size()), static_cast<int>(good.size())}),
            runs.ends);
}

TEST_F(DownloadFileTest, ChunkedFileArrivesDecodedAndACutOneIsAFailedAttempt) {
  const std::string head = "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n";
  LoopbackServer server([&](const std::string&, int index) {
    return send(head + (index == 0 ? "3\r\nOK\n\r\n0\r\n\r\n" : "10\r\ncut short"));
  });
  ScriptedMessageBoxes boxes;
  boxes.answer({IDNO});
  Download whole;
  whole.body = downloadFile(server.hostPort().c_str(), "downloadgi.txt", &whole.size, nullptr, nullptr);
  EXPECT_EQ("OK\n", whole.text());
  Download cut;
  cut.body = downloadFile(server.hostPort().c_str(), "f", &cut.size, nullptr, nullptr);
  EXPECT_EQ(nullptr, cut.body);
  ASSERT_EQ(1u, boxes.count());
  EXPECT_EQ("Failure downloading " + server.hostPort() + "//f , retry download\n", boxes.boxes()[0].text);
}

struct TransportSettings {
  DWORD connectTimeout = 0;
  DWORD receiveTimeout = 0;
  HWND owner = nullptr;
  int receives = 0;
} g_settings;

void recordSettings(const Socket& socket) {
  g_settings.connectTimeout = socket.connectTimeout;
  g_settings.receiveTimeout = socket.receiveTimeout;
  g_settings.owner = socket.ownerWindow;
  ++g_settings.receives;
}

TEST_F(DownloadFileTest, EveryAttemptAllowsFiveSecondsToConnectAndAMinuteOfSilence) {
  LoopbackServer server([](const std::string&, int) { return send(LoopbackServer::response("x")); });
  Socket::setReceiveObserver(recordSettings);
  Download got;
  got.body = downloadFile(server.hostPort().c_str(), "f", &got.size, nullptr, nullptr);
  Socket::setReceiveObserver(nullptr);
  EXPECT_EQ("x", got.text());
  EXPECT_EQ(1, g_settings.receives);
  EXPECT_EQ(5000u, g_settings.connectTimeout);  // the lookup's wait; the connection's is 5 s
  EXPECT_EQ(60000u, g_settings.receiveTimeout);
  EXPECT_EQ(kMainWindow, g_settings.owner);
}

// What standard output holds, read from its file while the box is up.
std::string g_stdoutPath;
std::string g_stdoutAtTheBox;
std::string g_boxCaption;
int answerAfterReadingStdout(HWND, const char*, const char* caption, UINT flags) {
  g_stdoutAtTheBox = readWholeFile(g_stdoutPath, "");
  g_boxCaption = std::string(caption ? caption : "<none>") + " " + std::to_string(flags);
  return IDOK;
}

TEST_F(DownloadFileTest, ReportDownloadErrorWritesStandardOutputBeforeTheBox) {
  g_stdoutPath = systemTemporaryDirectory() + "velmorin-stdout-" + std::to_string(GetCurrentProcessId()) + ".txt";
  std::fflush(stdout);
  const int saved = _dup(_fileno(stdout));
  const int file = _open(g_stdoutPath.c_str(), _O_WRONLY | _O_CREAT | _O_TRUNC | _O_BINARY, _S_IREAD | _S_IWRITE);
  ASSERT_GE(file, 0);
  _dup2(file, _fileno(stdout));
  _close(file);
  setMessageBoxAnswerer(answerAfterReadingStdout);
  reportDownloadError("File pack\\a.bin not found\n");
  setMessageBoxAnswerer(nullptr);
  std::fflush(stdout);
  _dup2(saved, _fileno(stdout));
  _close(saved);
  DeleteFileA(g_stdoutPath.c_str());
  EXPECT_EQ("File pack\\a.bin not found\n", g_stdoutAtTheBox);
  EXPECT_EQ("Downloading " + std::to_string(MB_SYSTEMMODAL | MB_ICONERROR | MB_OK), g_boxCaption);
}

TEST_F(DownloadFileTest, YesRetriesUntilNo) {
  ScriptedMessageBoxes boxes;
  boxes.answer({IDYES, IDYES, IDNO});
  Download got;
  got.body = downloadFile("no-such-host.invalid", "x", &got.size, nullptr, nullptr);
  EXPECT_EQ(nullptr, got.body);
  EXPECT_EQ(3u, boxes.count());
  EXPECT_EQ(0u, boxes.unanswered());
}

TEST_F(DownloadFileTest, TooLongInputsAreRefusedBeforeAnyConnection) {
  LoopbackServer server([](const std::string&, int) { return send(LoopbackServer::response("x")); });
  std::string base = server.hostPort() + "/" + std::string(240 - server.hostPort().size(), 'd');
  ScriptedMessageBoxes boxes;
  boxes.answer({IDYES, IDNO, IDNO});
  Download joinedTooLong;
  testing::internal::CaptureStdout();
  joinedTooLong.body = downloadFile(base.c_str(), std::string(15, 'n').c_str(),
                                    &joinedTooLong.size, nullptr, nullptr);
  Download nameTooLong;
  nameTooLong.body = downloadFile("h", std::string(300, '\\').c_str(), &nameTooLong.size,
                                  nullptr, nullptr);
  std::string trace = testing::internal::GetCapturedStdout();
  EXPECT_EQ(nullptr, joinedTooLong.body);
  EXPECT_EQ(nullptr, nameTooLong.body);
  EXPECT_EQ("", trace);
  EXPECT_EQ(0, server.connections());
  ASSERT_EQ(3u, boxes.count());
  // Questions are cut to their buffer.
  EXPECT_EQ(("Failure downloading " + base + "//" + std::string(15, 'n')).substr(0, 255),
            boxes.boxes()[0].text);
  EXPECT_EQ(("Failure downloading h//" + std::string(255, '/')).substr(0, 255),
            boxes.boxes()[2].text);
}

TEST_F(DownloadFileTest, LongestInputsThatFitAreFetched) {
  // 215 characters of base and name together: the question still fits whole.
  LoopbackServer server([](const std::string&, int) { return send(LoopbackServer::response("ok")); });
  std::string base = server.hostPort() + "/" + std::string(100, 'd');
  std::string name(215 - base.size(), 'n');
  Download got;
  got.body = downloadFile(base.c_str(), name.c_str(), &got.size, nullptr, nullptr);
  EXPECT_EQ("ok", got.text());
  EXPECT_EQ("/" + std::string(100, 'd') + "/" + name, pathOf(server.requests()[0]));
}

TEST_F(DownloadFileTest, DownloadsOnSeveralThreadsAtOnce) {
  LoopbackServer server([](const std::string& request, int) {
    Reply reply = send(LoopbackServer::response(pathOf(request) + std::string(70000, '.')));
    reply.pieceSize = 10000;
    reply.pauseMs = 2;
    return reply;
  });
  const int kThreads = 4;
  std::vector<std::string> results(kThreads);
  std::vector<std::thread> threads;
  for (int i = 0; i < kThreads; ++i) {
    threads.emplace_back([&, i] {
      for (int round = 0; round < 3; ++round) {
        int size = 0;
        char* body = downloadFile(server.hostPort().c_str(), std::to_string(i).c_str(), &size,
                                  nullptr, nullptr);
        if (body) results[i] = std::string(body, static_cast<size_t>(size));
        std::free(body);
      }
    });
  }
  for (std::thread& thread : threads) thread.join();
  for (int i = 0; i < kThreads; ++i)
    EXPECT_TRUE(results[i] == "/" + std::to_string(i) + std::string(70000, '.')) << i;
  EXPECT_EQ(kThreads * 3, server.connections());
}

}  // namespace

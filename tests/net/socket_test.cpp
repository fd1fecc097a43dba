// The Winsock transport against a scripted loopback server: lookup, connect, receive
// with its idle limit and progress, the error boxes, and Winsock's start and stop.
#include <gtest/gtest.h>

#include <atomic>
#include <stdexcept>
#include <string>
#include <vector>

#include "net/loopback_server.h"
#include "net/socket.h"
#include "support/scripted_message_box.h"

namespace {

const HWND kOwner = reinterpret_cast<HWND>(0x1234);

// Exposes the protected state a test needs to look at.
class TestSocket : public Socket {
 public:
  TestSocket() {
    connectTimeout = 5000;
    receiveTimeout = 5000;
    ownerWindow = kOwner;
  }
  const std::string& resolvedAddress() const { return address; }
  bool isResolved() const { return resolved; }
  const std::string& hostName() const { return host; }
  void setHost(const std::string& name) { host = name; }
};

std::string messageOf(const std::function<void()>& action) {
  try {
    action();
  } catch (const std::logic_error& error) {
    return error.what();
  }
  return "<no exception>";
}

std::string exchange(TestSocket& socket, int port, const std::string& request, int* result) {
  socket.open("127.0.0.1", port);
  socket.send(request);
  ResponseBuffer output;
  *result = socket.receive(output);
  socket.close();
  return output.headerBlock() + output.body();
}

struct Progress {
  std::vector<int> totals;
  std::vector<int> chunks;
  static void record(void* context, int64_t total, int chunk) {
    Progress* self = static_cast<Progress*>(context);
    self->totals.push_back(total);
    self->chunks.push_back(chunk);
  }
};

TEST(SocketLifetime, WinsockStartsWithTheFirstSocketAndStopsWithTheLast) {
  EXPECT_EQ(0u, Socket::liveCount());
  EXPECT_FALSE(Socket::winsockStarted());
  {
    TestSocket first;
    EXPECT_TRUE(Socket::winsockStarted());
    {
      TestSocket second;
      EXPECT_EQ(2u, Socket::liveCount());
    }
    EXPECT_EQ(1u, Socket::liveCount());
    EXPECT_TRUE(Socket::winsockStarted());
  }
  EXPECT_EQ(0u, Socket::liveCount());
  EXPECT_FALSE(Socket::winsockStarted());
}

TEST(SocketLookup, DottedAndLocalNamesResolve) {
  TestSocket socket;
  socket.open("127.0.0.1", 80);
  EXPECT_TRUE(socket.isResolved());
  EXPECT_EQ("127.0.0.1", socket.resolvedAddress());
  socket.open("localhost", 80);
  EXPECT_EQ("127.0.0.1", socket.resolvedAddress());
  socket.close();
  EXPECT_FALSE(socket.isResolved());
  EXPECT_EQ("unknown", socket.hostName());
}

TEST(SocketLookup, UnknownAndEmptyHostsAreRefusedWithoutABox) {
  ScriptedMessageBoxes boxes;
  TestSocket socket;
  EXPECT_EQ("Socket::resolveHostname() -> Error: Unknown host 'no-such-host.invalid'",
            messageOf([&] { socket.open("no-such-host.invalid", 80); }));
  EXPECT_FALSE(socket.isResolved());
  EXPECT_EQ("Socket::resolveHostname() -> Error: Invalid host or uninitialized socket",
            messageOf([&] { socket.open("", 80); }));
  EXPECT_EQ(0u, boxes.count());
}

std::atomic<int> g_slowLookupsEnded{0};
bool slowLookup(const char*, char* result) {
  Sleep(1500);
  strcpy(result, "127.0.0.1");
  ++g_slowLookupsEnded;
  return true;
}

TEST(SocketLookup, ALookupPastTheLimitIsUnknownAndEndsOnItsOwn) {
  Socket::setHostLookup(slowLookup);
  {
    TestSocket socket;
    socket.connectTimeout = 300;
    DWORD start = GetTickCount();
    EXPECT_EQ("Socket::resolveHostname() -> Error: Unknown host 'slow.example'",
              messageOf([&] { socket.open("slow.example", 80); }));
    EXPECT_LT(GetTickCount() - start, 1200u);
  }
  // The socket is gone; the abandoned lookup still ends cleanly, keeping Winsock up
  // until then.
  EXPECT_TRUE(Socket::winsockStarted());
  for (int i = 0; i < 100 && g_slowLookupsEnded.load() == 0; ++i) Sleep(50);
  EXPECT_EQ(1, g_slowLookupsEnded.load());
  for (int i = 0; i < 50 && Socket::winsockStarted(); ++i) Sleep(20);
  EXPECT_FALSE(Socket::winsockStarted());
  Socket::setHostLookup(nullptr);
}

TEST(SocketConnect, RefusedConnectionShowsTheBoxAndRaises) {
  ScriptedMessageBoxes boxes;
  boxes.answer({IDOK});
  TestSocket socket;
  socket.open("127.0.0.1", closedLoopbackPort());
  EXPECT_EQ("Socket::connect() -> Error: Connection asyncfailed",
            messageOf([&] { socket.connect(); }));
  ASSERT_EQ(1u, boxes.count());
  RecordedBox box = boxes.boxes()[0];
  EXPECT_EQ("Can't connect to site", box.text);
  EXPECT_EQ("connect", box.caption);
  EXPECT_EQ(kOwner, box.owner);
  EXPECT_EQ(static_cast<UINT>(MB_SYSTEMMODAL | MB_ICONERROR | MB_OK), box.flags);
  EXPECT_TRUE(socket.isConnected());  // released by close
  socket.close();
  EXPECT_FALSE(socket.isConnected());
}

// A listener whose queue is already full: the system drops further connection
// attempts, so they neither succeed nor fail until the client gives up.
struct FullListener {
  FullListener() {
    startTestWinsock();
    listener = socket(AF_INET, SOCK_STREAM, 0);
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address);
    listen(listener, 0);
    int length = sizeof address;
    getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length);
    for (SOCKET& s : queued) {  // whatever the queue's size rounds to
      s = socket(AF_INET, SOCK_STREAM, 0);
      u_long nonBlocking = 1;
      ioctlsocket(s, FIONBIO, &nonBlocking);
      ::connect(s, reinterpret_cast<sockaddr*>(&address), sizeof address);
    }
    Sleep(100);
  }
  ~FullListener() {
    for (SOCKET s : queued) closesocket(s);
    closesocket(listener);
  }
  SOCKET listener = INVALID_SOCKET;
  SOCKET queued[4] = {};
  sockaddr_in address = {};
};

TEST(SocketConnect, TheWaitIsCountedInWholeSeconds) {
  FullListener full;
  for (DWORD limit : {900u, 1900u}) {
    ScriptedMessageBoxes boxes;
    boxes.answer({IDOK});
    TestSocket socket;
    socket.connectTimeout = limit;
    socket.open("127.0.0.1", ntohs(full.address.sin_port));
    DWORD start = GetTickCount();
    EXPECT_EQ("Socket::connect() -> Error: Connection asyncfailed", messageOf([&] { socket.connect(); }));
    DWORD took = GetTickCount() - start;
    ASSERT_EQ(1u, boxes.count()) << limit;
    EXPECT_EQ("Can't connect to site", boxes.boxes()[0].text);
    // 900 ms is no whole second: no wait at all; 1900 ms is one second.
    if (limit < 1000) {
      EXPECT_LT(took, 400u);
    } else {
      EXPECT_GE(took, 950u);
      EXPECT_LT(took, 1600u);
    }
  }
}

TEST(SocketConnect, HostNamesThatNameNothingAreRefused) {
  TestSocket socket;
  EXPECT_EQ("Socket::connect() -> Error: Unknown host", messageOf([&] { socket.connect(); }));
  socket.setHost("");
  EXPECT_EQ("Socket::connect() -> Error: Invalid host", messageOf([&] { socket.connect(); }));
  EXPECT_EQ("Socket::send() -> Error: No data to send", messageOf([&] { socket.send(""); }));
}

TEST(SocketReceive, GivesExactlyTheBytesSentAndReportsEveryChunk) {
  std::string payload;
  for (int i = 0; i < 300000; ++i) payload += static_cast<char>(i * 7 + i / 256);
  LoopbackServer server([&](const std::string&, int) {
    Reply reply;
    reply.bytes = payload;
    reply.pieceSize = 70000;
    reply.pauseMs = 20;
    return reply;
  });
  TestSocket socket;
  Progress progress;
  socket.progressCallback = Progress::record;
  socket.progressContext = &progress;
  int result = 0;
  std::string got = exchange(socket, server.port(), "GET / HTTP/1.1\r\n\r\n", &result);
  EXPECT_EQ(static_cast<int>(payload.size()), result);
  EXPECT_TRUE(got == payload);
  ASSERT_FALSE(progress.totals.empty());
  EXPECT_EQ(result, progress.totals.back());
  int running = 0;
  for (size_t i = 0; i < progress.chunks.size(); ++i) {
    EXPECT_GT(progress.chunks[i], 0);
    EXPECT_LE(progress.chunks[i], 64 * 1024);
    running += progress.chunks[i];
    EXPECT_EQ(running, progress.totals[i]);
  }
  EXPECT_EQ(1u, server.requests().size());
  EXPECT_EQ("GET / HTTP/1.1\r\n\r\n", server.requests()[0]);
}

TEST(SocketReceive, SilentServerEndsByTheIdleLimitWithNothing) {
  LoopbackServer server(LoopbackServer::stalling());
  TestSocket socket;
  socket.receiveTimeout = 400;
  int result = 0;
  DWORD start = GetTickCount();
  std::string got = exchange(socket, server.port(), "GET / HTTP/1.1\r\n\r\n", &result);
  DWORD took = GetTickCount() - start;
  EXPECT_EQ(-1, result);
  EXPECT_EQ("", got);
  EXPECT_GE(took, 380u);
  EXPECT_LT(took, 3000u);
}

TEST(SocketReceive, PartThenStallEmptiesTheOutput) {
  LoopbackServer server(
      LoopbackServer::stalling("HTTP/1.1 200 OK\r\nContent-Length: 100\r\n\r\npartial"));
  TestSocket socket;
  socket.receiveTimeout = 400;
  Progress progress;
  socket.progressCallback = Progress::record;
  socket.progressContext = &progress;
  int result = 0;
  EXPECT_EQ("", exchange(socket, server.port(), "GET / HTTP/1.1\r\n\r\n", &result));
  EXPECT_EQ(-1, result);
  ASSERT_FALSE(progress.totals.empty());
  EXPECT_EQ(47, progress.totals.back());
}

TEST(SocketReceive, IdleLimitCountsFromTheLastData) {
  // 6 pieces 300 ms apart: 1.5 s in all, never 1 s silent.
  LoopbackServer server([](const std::string&, int) {
    Reply reply;
    reply.bytes = "abcdef";
    reply.pieceSize = 1;
    reply.pauseMs = 300;
    return reply;
  });
  TestSocket socket;
  socket.receiveTimeout = 1000;
  int result = 0;
  EXPECT_EQ("abcdef", exchange(socket, server.port(), "GET / HTTP/1.1\r\n\r\n", &result));
  EXPECT_EQ(6, result);
}

TEST(SocketReceive, NoIdleLimitWaitsForASlowServer) {
  LoopbackServer server([](const std::string&, int) {
    Reply reply;
    reply.bytes = "late";
    reply.delayMs = 1500;
    return reply;
  });
  TestSocket socket;
  socket.receiveTimeout = 0;
  int result = 0;
  EXPECT_EQ("late", exchange(socket, server.port(), "GET / HTTP/1.1\r\n\r\n", &result));
  EXPECT_EQ(4, result);
}

TEST(SocketErrors, SystemTextFollowsTheCode) {
  ScriptedMessageBoxes boxes;
  boxes.answer({IDOK, IDOK});
  showSocketError(kOwner, "Connect", 10061);
  showSocketError(nullptr, "recv", 10060);
  ASSERT_EQ(2u, boxes.count());
  char* systemText = nullptr;
  FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                     FORMAT_MESSAGE_IGNORE_INSERTS,
                 nullptr, 10061, 0x400, reinterpret_cast<LPSTR>(&systemText), 0, nullptr);
  ASSERT_NE(nullptr, systemText);
  EXPECT_EQ(std::string("Error Socket 10061 0000274d\n") + systemText, boxes.boxes()[0].text);
  LocalFree(systemText);
  EXPECT_EQ("Connect", boxes.boxes()[0].caption);
  EXPECT_EQ(0u, boxes.boxes()[1].text.find("Error Socket 10060 0000274c\n"));
  EXPECT_EQ(static_cast<UINT>(MB_SYSTEMMODAL | MB_ICONERROR | MB_OK), boxes.boxes()[1].flags);
}

}  // namespace

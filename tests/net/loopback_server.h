// A scripted HTTP server on 127.0.0.1 for the client's tests. Each connection gets its
// own thread: it reads the request up to its empty line, records it, asks the script
// what to do, and does it.
#pragma once
#include <winsock2.h>
#include <windows.h>

#include <atomic>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

struct Reply {
  enum class Ending {
    close,     // orderly close after the bytes
    stall,     // keep the connection open, silent, until the server stops
  };
  std::string bytes;
  Ending ending = Ending::close;
  int delayMs = 0;         // silence before the bytes
  int pieceSize = 0;       // > 0: send in pieces of this size...
  int pauseMs = 0;         // ...with this pause between them
};

class LoopbackServer {
 public:
  using Script = std::function<Reply(const std::string& request, int index)>;
  // Listens on `port`, or on a free port when it is 0.
  explicit LoopbackServer(Script script, int port = 0);
  ~LoopbackServer();
  LoopbackServer(const LoopbackServer&) = delete;
  LoopbackServer& operator=(const LoopbackServer&) = delete;

  int port() const { return port_; }
  // "127.0.0.1:<port>"
  std::string hostPort() const;
  std::vector<std::string> requests() const;
  int connections() const { return connections_.load(); }

  // A response with the given body and a Content-Length header.
  static std::string response(const std::string& body, const std::string& extraHeaders = "");
  // A script that sends `bytes` (possibly none), then keeps every connection silent.
  static Script stalling(const std::string& bytes = "");

 private:
  void acceptLoop();
  void serve(SOCKET client, int index);
  bool pause(int ms);
  bool waitReady(SOCKET client, bool toSend);
  bool sendAll(SOCKET client, const char* bytes, size_t size);

  Script script_;
  SOCKET listener_ = INVALID_SOCKET;
  int port_ = 0;
  HANDLE stopEvent_;
  std::atomic<int> connections_{0};
  mutable std::mutex lock_;
  std::vector<std::string> requests_;
  std::vector<std::thread> workers_;
  std::thread acceptor_;
};

// A 127.0.0.1 port that nothing listens on.
int closedLoopbackPort();

// Starts Winsock for the test's own sockets (once per process).
void startTestWinsock();

#include "net/loopback_server.h"

#include <gtest/gtest.h>

namespace {
sockaddr_in loopback(int port) {
  sockaddr_in address = {};
  address.sin_family = AF_INET;
  address.sin_port = htons(static_cast<u_short>(port));
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  return address;
}

int boundPort(SOCKET s) {
  sockaddr_in address = {};
  int length = sizeof(address);
  getsockname(s, reinterpret_cast<sockaddr*>(&address), &length);
  return ntohs(address.sin_port);
}
}  // namespace

void startTestWinsock() {
  static bool started = [] {
    WSADATA data;
    return WSAStartup(MAKEWORD(2, 2), &data) == 0;
  }();
  ASSERT_TRUE(started);
}

int closedLoopbackPort() {
  startTestWinsock();
  SOCKET s = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address = loopback(0);
  bind(s, reinterpret_cast<sockaddr*>(&address), sizeof(address));
  int port = boundPort(s);
  closesocket(s);
  return port;
}

LoopbackServer::LoopbackServer(Script script, int port) : script_(std::move(script)) {
  startTestWinsock();
  stopEvent_ = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  listener_ = socket(AF_INET, SOCK_STREAM, 0);
  if (port != 0) {  // a fixed port is bound again by the next test, past TIME_WAIT
    BOOL reuse = TRUE;
    setsockopt(listener_, SOL_SOCKET, SO_REUSEADDR, reinterpret_cast<const char*>(&reuse), sizeof reuse);
  }
  sockaddr_in address = loopback(port);
  EXPECT_EQ(0, bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof(address)));
  EXPECT_EQ(0, listen(listener_, 16));
  port_ = boundPort(listener_);
  acceptor_ = std::thread([this] { acceptLoop(); });
}

LoopbackServer::~LoopbackServer() {
  SetEvent(stopEvent_);
  closesocket(listener_);
  acceptor_.join();
  for (std::thread& worker : workers_) worker.join();
  CloseHandle(stopEvent_);
}

std::string LoopbackServer::hostPort() const { return "127.0.0.1:" + std::to_string(port_); }

std::vector<std::string> LoopbackServer::requests() const {
  std::lock_guard<std::mutex> guard(lock_);
  return requests_;
}

std::string LoopbackServer::response(const std::string& body, const std::string& extraHeaders) {
  return "HTTP/1.1 200 OK\r\nContent-Length: " + std::to_string(body.size()) + "\r\n" +
         extraHeaders + "\r\n" + body;
}

bool LoopbackServer::pause(int ms) {
  return WaitForSingleObject(stopEvent_, static_cast<DWORD>(ms)) == WAIT_TIMEOUT;
}

// Connections are non-blocking and every wait on one also watches for the stop: a
// client that neither reads nor closes (its reading thread terminated, its process
// kept alive) cannot hold a worker, and with it the destructor, for ever.
bool LoopbackServer::waitReady(SOCKET client, bool toSend) {
  while (pause(0)) {
    fd_set ready;
    FD_ZERO(&ready);
    FD_SET(client, &ready);
    timeval limit = {0, 50 * 1000};
    int count = select(0, toSend ? nullptr : &ready, toSend ? &ready : nullptr, nullptr, &limit);
    if (count != 0) return count > 0;
  }
  return false;
}

bool LoopbackServer::sendAll(SOCKET client, const char* bytes, size_t size) {
  while (size > 0) {
    int sent = send(client, bytes, static_cast<int>(size), 0);
    if (sent > 0) {
      bytes += sent;
      size -= static_cast<size_t>(sent);
    } else if (sent == 0 || WSAGetLastError() != WSAEWOULDBLOCK || !waitReady(client, true)) {
      return false;
    }
  }
  return true;
}

void LoopbackServer::acceptLoop() {
  for (;;) {
    SOCKET client = accept(listener_, nullptr, nullptr);
    if (client == INVALID_SOCKET) return;  // the listener was closed
    int index = connections_++;
    std::lock_guard<std::mutex> guard(lock_);
    workers_.emplace_back([this, client, index] { serve(client, index); });
  }
}

void LoopbackServer::serve(SOCKET client, int index) {
  // The request is peeked first and consumed once it is complete.
  u_long nonBlocking = 1;
  ioctlsocket(client, FIONBIO, &nonBlocking);
  std::string request;
  std::vector<char> chunk(64 * 1024);
  for (int tries = 0; tries < 1000 && request.find("\r\n\r\n") == std::string::npos; ++tries) {
    int got = recv(client, chunk.data(), static_cast<int>(chunk.size()), MSG_PEEK);
    if (got < 0 && WSAGetLastError() == WSAEWOULDBLOCK && waitReady(client, false)) continue;
    if (got <= 0) break;
    if (static_cast<size_t>(got) == request.size()) Sleep(5);
    request.assign(chunk.data(), static_cast<size_t>(got));
  }
  {
    std::lock_guard<std::mutex> guard(lock_);
    requests_.push_back(request);
  }
  Reply reply = script_(request, index);
  if (!request.empty())
    recv(client, chunk.data(), static_cast<int>(request.size()), 0);
  bool running = reply.delayMs == 0 || pause(reply.delayMs);
  size_t piece = reply.pieceSize > 0 ? static_cast<size_t>(reply.pieceSize) : reply.bytes.size();
  for (size_t at = 0; running && at < reply.bytes.size(); at += piece) {
    size_t size = std::min(piece, reply.bytes.size() - at);
    if (!sendAll(client, reply.bytes.data() + at, size)) break;
    if (reply.pauseMs > 0 && at + size < reply.bytes.size()) running = pause(reply.pauseMs);
  }
  if (reply.ending == Reply::Ending::stall) {
    WaitForSingleObject(stopEvent_, INFINITE);
  } else {
    shutdown(client, SD_SEND);
  }
  closesocket(client);
}

LoopbackServer::Script LoopbackServer::stalling(const std::string& bytes) {
  return [bytes](const std::string&, int) {
    Reply reply;
    reply.bytes = bytes;
    reply.ending = Reply::Ending::stall;
    return reply;
  };
}

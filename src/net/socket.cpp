#include "net/socket.h"

#include <atomic>
#include <climits>
#include <cstdio>
#include <cstring>
#include <stdexcept>

#include "net/host_lookup.h"
#include "net/plain_channel.h"
#include "net/tls_channel.h"
#include "net/winsock_users.h"
#include "services/message_box.h"

namespace {

std::atomic<HostLookup> g_hostLookup{nullptr};
std::atomic<Socket::ReceiveObserver> g_receiveObserver{nullptr};

// One recv call costs the same whatever its size, so reads are large.
const size_t kReadChunk = 64 * 1024;
// Totals are reported as int.
const size_t kLargestResponse = INT_MAX;

}  // namespace

Socket::Socket()
    : progressCallback(nullptr),
      progressContext(nullptr),
      connectTimeout(0),
      receiveTimeout(0),
      ownerWindow(nullptr),
      handle(INVALID_SOCKET),
      port(0),
      host("unknown"),
      address(),
      peer(),
      connected(false),
      resolved(false),
      channel(nullptr) {
  initWinsock();
}

Socket::~Socket() {
  close();
  removeSocketUser();
}

void Socket::initWinsock() {
  if (!addSocketUser())
    throw std::logic_error("Socket::initWinsock() -> Error: Winsock initialization failed");
}

unsigned Socket::liveCount() { return socketUserCount(); }
bool Socket::winsockStarted() { return winsockRunning(); }
void Socket::setHostLookup(HostLookup lookup) { g_hostLookup.store(lookup); }
void Socket::setReceiveObserver(ReceiveObserver observer) { g_receiveObserver.store(observer); }

void Socket::open(const std::string& hostName, int portNumber) {
  close();
  route = Route();
  logonScheme.clear();
  route.host = hostName;
  route.port = portNumber;
  host = hostName;
  port = portNumber;
  resolveHostname();
}

void Socket::resolveHostname() {
  if (host.empty())
    throw std::logic_error(
        "Socket::resolveHostname() -> Error: Invalid host or uninitialized socket");
  std::string found;
  if (!lookupHost(host, connectTimeout, g_hostLookup.load(), &found))
    throw std::logic_error("Socket::resolveHostname() -> Error: Unknown host '" + host + "'");
  address = found;
  resolved = true;
}

void Socket::setBlocking(bool blocking, bool reportFailure) {
  u_long mode = blocking ? 0 : 1;
  if (ioctlsocket(handle, FIONBIO, &mode) != 0 && reportFailure) {
    char text[64];
    std::snprintf(text, sizeof(text), "ioctlsocket failed with error: %ld\n",
                  static_cast<long>(WSAGetLastError()));
    showError(ownerWindow, "Connect", text);
  }
}

bool Socket::connect() {
  connectTcp();
  establishRoute();
  return true;
}

void Socket::connectTcp() {
  if (host.empty()) throw std::logic_error("Socket::connect() -> Error: Invalid host");
  if (host == "unknown") throw std::logic_error("Socket::connect() -> Error: Unknown host");
  timeval limit;
  limit.tv_sec = static_cast<long>(connectTimeout / 1000);
  limit.tv_usec = 0;
  if (connected) {  // a second connect must not leak the first socket
    channel = nullptr;
    tls.reset();
    plain.reset();
    closesocket(handle);
    connected = false;
  }

  handle = ::socket(AF_INET, SOCK_STREAM, 0);
  if (handle == INVALID_SOCKET || handle == 0) {
    int code = WSAGetLastError();
    handle = INVALID_SOCKET;
    showError(ownerWindow, "Connect", "Can't create the socket");
    showSocketError(ownerWindow, "Connect", code);
    throw std::logic_error("Socket::connect() -> Error: Socket creation failed");
  }
  std::memset(&peer, 0, sizeof(peer));
  peer.sin_family = AF_INET;
  peer.sin_port = htons(static_cast<u_short>(port & 0xFFFF));
  peer.sin_addr.s_addr = inet_addr(address.c_str());
  setBlocking(false, true);

  int started = ::connect(handle, reinterpret_cast<const sockaddr*>(&peer), sizeof(peer));
  connected = true;
  plain.reset(new PlainChannel(handle));
  channel = plain.get();
  setBlocking(true, true);
  // A connection made at once stands like one made in the background.
  if (started == 0) return;

  fd_set writable;
  fd_set failed;
  FD_ZERO(&writable);
  FD_ZERO(&failed);
  FD_SET(handle, &writable);
  FD_SET(handle, &failed);
  bool ready = select(0, nullptr, &writable, &failed, &limit) > 0 && FD_ISSET(handle, &writable);
  if (ready) {
    // A refused attempt may still be flagged writable; its pending error tells.
    int error = 0;
    int length = sizeof(error);
    if (getsockopt(handle, SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&error), &length) == 0 &&
        error != 0)
      ready = false;
  }
  if (ready) return;
  showError(ownerWindow, "connect", "Can't connect to site");
  throw std::logic_error("Socket::connect() -> Error: Connection asyncfailed");
}

int Socket::send(const std::string& data) {
  if (data.empty()) throw std::logic_error("Socket::send() -> Error: No data to send");
  if (!connected) connect();
  if (route.wholeAddressInRequest()) {
    talkToProxy(data, false, "send");
    return static_cast<int>(data.size());
  }
  int error = 0;
  // An error stops the sending; the server may still answer what it got.
  size_t sent = channel->sendAll(data.data(), data.size(), &error);
  return sent > INT_MAX ? INT_MAX : static_cast<int>(sent);
}

int Socket::receive(ResponseBuffer& output) {
  if (!connected) connect();
  if (ReceiveObserver observer = g_receiveObserver.load()) observer(*this);
  u_long nonBlocking = 1;
  ioctlsocket(handle, FIONBIO, &nonBlocking);
  output.clear();
  DWORD lastActivity = GetTickCount();
  for (;;) {
    if (output.size() >= kLargestResponse) {
      output.clear();
      return -1;
    }
    size_t limit = kLargestResponse - output.size();
    size_t room = 0;
    char* into = output.prepare(limit < kReadChunk ? limit : kReadChunk, &room);
    int code = 0;
    int got = channel->readSome(into, room, &code);
    if (got > 0) {
      lastActivity = GetTickCount();
      const uint64_t before = output.received();
      output.commit(static_cast<size_t>(got));  // bytes past a complete body are dropped
      if (progressCallback)
        progressCallback(progressContext, static_cast<int64_t>(output.received()),
                         static_cast<int>(output.received() - before));
      // A server may keep the connection open past a complete body.
      if (output.complete()) break;
      continue;
    }
    if (got == ByteChannel::kClosed) break;
    if (got == ByteChannel::kFailed) {
      showSocketError(ownerWindow, "recv", code);
      output.clear();
      return -1;
    }
    // Nothing pending: wait on the channel for what is left of the idle limit.
    DWORD idle = GetTickCount() - lastActivity;
    if (receiveTimeout != 0 && idle >= receiveTimeout) {
      output.clear();
      return -1;
    }
    DWORD left = receiveTimeout - idle;
    if (channel->waitReadable(receiveTimeout != 0 ? &left : nullptr) == SOCKET_ERROR) {
      showSocketError(ownerWindow, "recv", WSAGetLastError());
      output.clear();
      return -1;
    }
  }
  return static_cast<int>(output.size());
}

void Socket::close() {
  if (connected) {
    if (tls) tls->shutdown();
    channel = nullptr;
    tls.reset();
    plain.reset();
    closesocket(handle);
    handle = INVALID_SOCKET;
    connected = false;
  }
  host = "unknown";
  resolved = false;
}

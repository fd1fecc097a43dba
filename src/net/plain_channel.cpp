#include "net/plain_channel.h"

#include <climits>
#include <cstring>

namespace {

timeval millisecondsToTimeval(DWORD ms) {
  timeval limit;
  limit.tv_sec = static_cast<long>(ms / 1000);
  limit.tv_usec = static_cast<long>((ms % 1000) * 1000);
  return limit;
}

// Waits for one direction of the socket, at most *limitMs (nullptr: no limit).
int waitFor(SOCKET handle, bool forWriting, const DWORD* limitMs) {
  fd_set set;
  FD_ZERO(&set);
  FD_SET(handle, &set);
  timeval limit;
  if (limitMs) limit = millisecondsToTimeval(*limitMs);
  return select(0, forWriting ? nullptr : &set, forWriting ? &set : nullptr, nullptr,
                limitMs ? &limit : nullptr);
}

}  // namespace

// On a blocking socket send waits by itself; on a non-blocking one (while a receive
// is under way) a full buffer is waited out here. An error ends the sending.
size_t PlainChannel::sendAll(const char* data, size_t size, int* error) {
  size_t sent = 0;
  while (sent < size) {
    size_t remaining = size - sent;
    int piece = remaining > INT_MAX ? INT_MAX : static_cast<int>(remaining);
    int taken = ::send(handle_, data + sent, piece, 0);
    if (taken > 0) {
      sent += static_cast<size_t>(taken);
      continue;
    }
    *error = taken == 0 ? 0 : WSAGetLastError();
    if (*error != WSAEWOULDBLOCK || waitFor(handle_, true, nullptr) == SOCKET_ERROR) break;
  }
  return sent;
}

int PlainChannel::readSome(char* into, size_t room, int* error) {
  if (!givenBack_.empty()) {
    size_t count = givenBack_.size() < room ? givenBack_.size() : room;
    std::memcpy(into, givenBack_.data(), count);
    givenBack_.erase(0, count);
    return static_cast<int>(count);
  }
  int got = ::recv(handle_, into, room > INT_MAX ? INT_MAX : static_cast<int>(room), 0);
  if (got > 0) return got;
  // A failure that leaves no error code is taken as the peer's close, as recv's 0.
  int code = got == 0 ? 0 : WSAGetLastError();
  if (code == 0) return kClosed;
  if (code == WSAEWOULDBLOCK) return kNothingYet;
  *error = code;
  return kFailed;
}

// Only the read set is asked: data, the peer's close and a connection error all make
// the socket readable, and each is then consumed or reported by recv. Out-of-band
// data shows in the exception set alone (the socket is not SO_OOBINLINE), so it
// cannot wake this wait, and nothing that recv does not clear can keep a loop from
// sleeping.
int PlainChannel::waitReadable(const DWORD* limitMs) {
  if (!givenBack_.empty()) return 1;
  return waitFor(handle_, false, limitMs);
}

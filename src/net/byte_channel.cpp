#include "net/byte_channel.h"

int readWithin(ByteChannel& channel, char* into, size_t room, DWORD limitMs, int* error) {
  const DWORD start = GetTickCount();
  for (;;) {
    int got = channel.readSome(into, room, error);
    if (got != ByteChannel::kNothingYet) return got;
    DWORD waited = GetTickCount() - start;
    if (limitMs != 0 && waited >= limitMs) return ByteChannel::kNothingYet;
    DWORD left = limitMs - waited;
    if (channel.waitReadable(limitMs != 0 ? &left : nullptr) == SOCKET_ERROR) {
      *error = WSAGetLastError();
      return ByteChannel::kFailed;
    }
  }
}

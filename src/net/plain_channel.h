// The socket itself as a byte channel, with room to give back bytes that were read
// ahead (the rest after a proxy's answer), which are then read first.
#pragma once
#include <string>

#include "net/byte_channel.h"

class PlainChannel : public ByteChannel {
 public:
  explicit PlainChannel(SOCKET handle) : handle_(handle) {}

  size_t sendAll(const char* data, size_t size, int* error) override;
  int readSome(char* into, size_t room, int* error) override;
  int waitReadable(const DWORD* limitMs) override;

  // These bytes come first on the next reads.
  void giveBack(const std::string& bytes) { givenBack_.insert(0, bytes); }

 private:
  SOCKET handle_;
  std::string givenBack_;
};

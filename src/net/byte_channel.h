// The byte stream under the HTTP client: plain TCP on the socket, or TLS over it.
// The receive loop reads through it without knowing which, and waits on it, not on
// the socket, because TLS may hold decrypted bytes that the socket no longer shows.
#pragma once
#include <winsock2.h>
#include <windows.h>

#include <cstddef>

class ByteChannel {
 public:
  // What readSome found besides data.
  static const int kClosed = 0;       // the peer ended the stream
  static const int kNothingYet = -1;  // nothing to read at the moment
  static const int kFailed = -2;      // an error; its code went to *error

  virtual ~ByteChannel() = default;

  // Hands over every byte, waiting while the way out is full; stops at an error,
  // whose code goes to *error. Returns the count handed over.
  virtual size_t sendAll(const char* data, size_t size, int* error) = 0;
  // Reads what has arrived, never waiting: the count of bytes read (> 0), or one of
  // the values above.
  virtual int readSome(char* into, size_t room, int* error) = 0;
  // Waits until readSome has something to say, at most *limitMs (nullptr: no limit).
  // Returns as select does: > 0 ready, 0 when the limit passed, SOCKET_ERROR.
  virtual int waitReadable(const DWORD* limitMs) = 0;
};

// Reads into `into` as soon as something arrives, waiting at most `limitMs` in all
// (0: no limit). As readSome, with kNothingYet meaning the limit passed.
int readWithin(ByteChannel& channel, char* into, size_t room, DWORD limitMs, int* error);

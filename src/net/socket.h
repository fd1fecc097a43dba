// One IPv4 TCP connection to one host and port, with a bounded host lookup, a
// bounded connect and a receive loop with an idle limit and progress reports.
// Failures of connect and receive are shown in error boxes owned by `ownerWindow`.
#pragma once
#include <winsock2.h>
#include <windows.h>

#include <cstdint>
#include <string>

#include "net/response_buffer.h"

// Looks `host` up and writes its dotted IPv4 text into `result` (32 bytes, zero-
// terminated); false when the name does not resolve. Replaceable for tests.
using HostLookup = bool (*)(const char* host, char* result);

class Socket {
 public:
  Socket();
  virtual ~Socket();
  Socket(const Socket&) = delete;
  Socket& operator=(const Socket&) = delete;

  void initWinsock();
  void open(const std::string& hostName, int portNumber);
  void resolveHostname();
  bool connect();
  int send(const std::string& data);
  // Reads until the response is complete or the peer closes. Returns the total kept,
  // or -1 (output emptied) after an idle time-out or a receive error.
  int receive(ResponseBuffer& output);
  void close();
  bool isConnected() const { return connected; }

  // Live Socket objects in the process.
  static unsigned liveCount();
  // Whether Winsock is currently started by this class.
  static bool winsockStarted();
  // Replaces the host lookup (nullptr restores gethostbyname).
  static void setHostLookup(HostLookup lookup);
  // Shows tests every socket, with the settings its owner gave it, as its receive
  // starts (nullptr: nobody looks).
  using ReceiveObserver = void (*)(const Socket& socket);
  static void setReceiveObserver(ReceiveObserver observer);

  // Set by the owner before the first open.
  void (*progressCallback)(void* context, int total, int chunk);
  void* progressContext;
  DWORD connectTimeout;   // ms: lookup wait, and the connect wait in whole seconds
  DWORD receiveTimeout;   // ms of silence that end a receive; 0 waits for ever
  HWND ownerWindow;

 protected:
  SOCKET handle;
  int port;
  std::string host;
  std::string address;
  sockaddr_in peer;
  bool connected;
  bool resolved;

 private:
  void setBlocking(bool blocking, bool reportFailure);
};

// The transport's error box for a Winsock error: its code in decimal and in
// hexadecimal, then the system's text for it.
void showSocketError(HWND owner, const char* caption, int code);

// One IPv4 TCP connection to one host and port, with a bounded host lookup, a
// bounded connect and a receive loop with an idle limit and progress reports.
// Failures of connect and receive are shown in error boxes owned by `ownerWindow`.
// An address opened with openTo may go through a proxy and over TLS: the bytes then
// pass through a channel that does both, below the receive loop.
#pragma once
#include <winsock2.h>
#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>

#include "net/response_buffer.h"
#include "net/route.h"
#include "net/url.h"

class ByteChannel;
class PlainChannel;
class TlsChannel;

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
  // Straight to host and port, plain TCP.
  void open(const std::string& hostName, int portNumber);
  // To the server of an address as the system reaches it: through the proxy chosen
  // for it (system_proxy.h), and over TLS for an https:// address.
  void openTo(const Url& target);
  void resolveHostname();
  bool connect();
  int send(const std::string& data);
  // Reads until the response is complete or the peer closes. Returns the total kept,
  // or -1 (output emptied) after an idle time-out or a receive error.
  int receive(ResponseBuffer& output);
  void close();
  bool isConnected() const { return connected; }
  // The request of the opened address goes to a proxy as a plain request, whose
  // request line must then name the whole address.
  bool sendsWholeAddress() const { return route.wholeAddressInRequest(); }

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

  // Set by the owner before the first open. The total counts the response's bytes so
  // far, header block included.
  void (*progressCallback)(void* context, int64_t total, int chunk);
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
  void connectTcp();
  // After the TCP connection: the tunnel through the proxy and the TLS session.
  void establishRoute();
  void startTls();
  // Sends a request to the proxy and reads the head of its answer, logging on as
  // it asks. A tunnel needs a 2xx answer; a plain request's answer is given back
  // to be read as its response.
  void talkToProxy(const std::string& request, bool tunnel, const char* operation);
  std::string readProxyAnswer(std::string* head, std::string* rest);
  bool skipProxyBody(const std::string& head, const std::string& rest);
  void noteConnectionMade();
  // Shows why the connection is not made, tells the notes, and raises.
  [[noreturn]] void refuse(const char* operation, const char* caption, const std::string& text);

  Route route;
  std::string logonScheme;  // the proxy logon of the connection, empty when none
  std::unique_ptr<PlainChannel> plain;
  std::unique_ptr<TlsChannel> tls;
  ByteChannel* channel;
};

// The transport's error box for a Winsock error: its code in decimal and in
// hexadecimal, then the system's text for it.
void showSocketError(HWND owner, const char* caption, int code);

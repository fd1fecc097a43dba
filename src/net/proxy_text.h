// The texts of proxy work, read without any platform call: a proxy address as a
// user writes it, the system's proxy list and bypass list, and the parts of a
// proxy's answer that the client acts on.
#pragma once
#include <string>
#include <vector>

#include "net/response_head.h"  // the status and header lines of a proxy's answer

struct ProxyServer {
  std::string host;  // empty: no proxy
  int port = 0;
  // Basic credentials that came with the setting; empty when none did.
  std::string user;
  std::string password;

  bool empty() const { return host.empty(); }
  std::string hostPort() const { return host + ":" + std::to_string(port); }
};

// "http://[user:password@]host[:port]", the scheme optional, the port 80 when left
// out; user and password may be percent-encoded. False for another scheme, no host,
// or a port outside 1-65535.
bool parseProxyAddress(const std::string& text, ProxyServer* proxy);

// The proxy that a system proxy list names for requests of `scheme` ("http" or
// "https"). The list is "host:port", or entries such as "http=host:port;https=h:p"
// separated by ";" or blanks; an entry without "scheme=" serves every scheme, and
// one for the scheme itself is preferred. False when no entry serves it.
bool proxyForScheme(const std::string& list, const std::string& scheme, ProxyServer* proxy);

// Whether a request to `host` goes straight past the proxy under a bypass list as
// the system reads one: entries separated by ";", "," or blanks, "*" matching any
// run of characters, letter case ignored, an entry's ":port" (if any) matching the
// port; "<local>" for host names without a dot. Loopback names and addresses
// (localhost, 127.x.x.x, ::1) always go straight unless the list holds "<-loopback>".
bool bypassesProxy(const std::string& bypassList, const std::string& host, int port);

// One challenge of a Proxy-Authenticate header: the scheme as written and the rest
// of its value (a token, or parameters such as realm="...").
struct ProxyChallenge {
  std::string scheme;
  std::string rest;
};
// Every Proxy-Authenticate line of a head, in order (one challenge per line).
std::vector<ProxyChallenge> proxyChallenges(const std::string& head);
// Whether the connection stays open after this answer: HTTP/1.1 unless it says
// "close", HTTP/1.0 only when it says "keep-alive" (Connection or Proxy-Connection).
bool connectionStaysOpen(const std::string& head);
// The body length that the head announces (Content-Length); 0 when it announces
// none and is not chunked; -1 when the body's end cannot be known in advance.
long long announcedBodyOf(const std::string& head);

// A request for the proxy: `lines` (whole header lines) put before the empty line,
// and with `keepOpen` its "Connection: close" turned into "Connection: keep-alive"
// (for the legs of a logon that must stay on one connection).
std::string requestForProxy(const std::string& request, const std::string& lines, bool keepOpen);


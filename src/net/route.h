// How the connection of one request goes: to which server, plain or over TLS, and
// straight or through which proxy. Chosen for each address before it is opened.
#pragma once
#include <string>

#include "net/proxy_text.h"

struct Route {
  std::string host;  // the server the request is for
  int port = 80;
  bool secure = false;  // TLS with that server
  ProxyServer proxy;    // empty: straight to the server
  std::string proxyOrigin;  // where the proxy was named, for the notes

  bool throughProxy() const { return !proxy.empty(); }
  // A plain request through a proxy names the whole address on its request line;
  // a TLS one goes through a tunnel and names only its path.
  bool wholeAddressInRequest() const { return throughProxy() && !secure; }
  std::string hostPort() const { return host + ":" + std::to_string(port); }
};

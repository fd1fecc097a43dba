// The proxy through which an address is reached, chosen the way the system chooses
// it for the user: VELMORIN_PROXY when it is set (for scripted use); otherwise the
// user's Internet settings as WinHTTP reads them: a proxy script (named, or found by
// automatic detection) decides first, then the fixed proxy with its bypass list.
#pragma once
#include <string>

#include "net/proxy_text.h"
#include "net/url.h"

struct ProxyChoice {
  ProxyServer proxy;   // empty: straight to the server
  std::string origin;  // "VELMORIN_PROXY", "system settings", ...
  std::string problem; // set when VELMORIN_PROXY cannot be read: nothing is chosen
};

ProxyChoice chooseProxy(const Url& target);

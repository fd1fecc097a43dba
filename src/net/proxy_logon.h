// Logging on to a proxy that answers 407: Basic with the user name and password
// that came with the proxy setting, or NTLM or Negotiate with the user's own Windows
// logon through SSPI (nothing asked of the user), where the system offers them.
#pragma once
#define SECURITY_WIN32
#include <windows.h>
#include <security.h>

#include <string>
#include <vector>

#include "net/proxy_text.h"

class ProxyLogon {
 public:
  explicit ProxyLogon(const ProxyServer& proxy);
  ~ProxyLogon();
  ProxyLogon(const ProxyLogon&) = delete;
  ProxyLogon& operator=(const ProxyLogon&) = delete;

  // The Proxy-Authorization value to send before any challenge: Basic, when this
  // proxy asked for it earlier in the run and the setting gives credentials.
  std::string opening();
  // The value that answers a 407's challenges. False when none can be answered,
  // with the reason in the program's words in *why.
  bool answer(const std::vector<ProxyChallenge>& challenges, std::string* value, std::string* why);
  // NTLM and Negotiate log a connection on: their steps must stay on one connection.
  bool boundToConnection() const { return !package_.empty(); }
  // The scheme last answered with ("Basic", "NTLM", "Negotiate"), empty when none.
  const std::string& scheme() const { return scheme_; }

 private:
  bool startSspi(const std::string& package, std::string* value);
  bool stepSspi(const std::string& token, std::string* value);
  void endSspi();
  std::string basic() const;

  ProxyServer proxy_;
  std::string scheme_;
  std::string package_;  // the SSPI package under way, empty when none
  std::vector<std::string> failedPackages_;
  CredHandle credentials_ = {};
  CtxtHandle context_ = {};
  bool haveCredentials_ = false;
  bool haveContext_ = false;
  bool basicSent_ = false;
};

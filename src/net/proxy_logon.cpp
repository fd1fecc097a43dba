#include "net/proxy_logon.h"

#include <algorithm>
#include <mutex>
#include <set>
#include <vector>

#include "crypto/base64.h"
#include "net/ascii_text.h"

namespace {

// Proxies that asked for Basic in this run get it with the first request after.
std::mutex g_basicLock;
std::set<std::string> g_basicProxies;

const ProxyChallenge* find(const std::vector<ProxyChallenge>& challenges, const char* scheme) {
  for (const ProxyChallenge& challenge : challenges)
    if (equalsNoCase(challenge.scheme, scheme)) return &challenge;
  return nullptr;
}

std::string schemesOf(const std::vector<ProxyChallenge>& challenges) {
  std::string list;
  for (const ProxyChallenge& challenge : challenges) list += (list.empty() ? "" : ", ") + challenge.scheme;
  return list.empty() ? "none named" : list;
}

}  // namespace

ProxyLogon::ProxyLogon(const ProxyServer& proxy) : proxy_(proxy) {}

ProxyLogon::~ProxyLogon() { endSspi(); }

std::string ProxyLogon::basic() const { const std::string credentials = proxy_.user + ":" + proxy_.password;
  return "Basic " + base64Encode(credentials.data(), credentials.size()); }

std::string ProxyLogon::opening() {
  std::lock_guard<std::mutex> guard(g_basicLock);
  if (proxy_.user.empty() || !g_basicProxies.count(proxy_.hostPort())) return "";
  scheme_ = "Basic";
  basicSent_ = true;
  return basic();
}

bool ProxyLogon::answer(const std::vector<ProxyChallenge>& challenges, std::string* value, std::string* why) {
  // A logon under way goes on with the proxy's next token.
  if (!package_.empty()) {
    const ProxyChallenge* next = find(challenges, package_.c_str());
    if (next && !next->rest.empty() && stepSspi(next->rest, value)) return true;
    failedPackages_.push_back(package_);
    endSspi();
  }
  for (const char* package : {"Negotiate", "NTLM"}) {
    if (find(challenges, package) &&
        std::find(failedPackages_.begin(), failedPackages_.end(), package) == failedPackages_.end()) {
      if (startSspi(package, value)) return true;
      failedPackages_.push_back(package);
    }
  }
  if (find(challenges, "Basic") && !proxy_.user.empty() && !basicSent_) {
    {
      std::lock_guard<std::mutex> guard(g_basicLock);
      g_basicProxies.insert(proxy_.hostPort());
    }
    scheme_ = "Basic";
    basicSent_ = true;
    *value = basic();
    return true;
  }
  if (basicSent_)
    *why = "it refused the user name and password of the proxy setting";
  else if (!failedPackages_.empty())
    *why = "it asks for a Windows logon (" + schemesOf(challenges) + ") that the system could not give";
  else if (find(challenges, "Basic"))
    *why = "it asks for a user name and password (Basic), and the proxy setting gives none";
  else
    *why = "it asks for authentication that this program cannot give (" + schemesOf(challenges) + ")";
  return false;
}

bool ProxyLogon::startSspi(const std::string& package, std::string* value) {
  TimeStamp expiry;
  // No identity given: the user's own logon.
  if (AcquireCredentialsHandleA(nullptr, const_cast<char*>(package.c_str()), SECPKG_CRED_OUTBOUND, nullptr,
                                nullptr, nullptr, nullptr, &credentials_, &expiry) != SEC_E_OK)
    return false;
  haveCredentials_ = true;
  package_ = package;
  if (stepSspi("", value)) return true;
  endSspi();
  return false;
}

bool ProxyLogon::stepSspi(const std::string& token, std::string* value) {
  std::vector<uint8_t> received;
  if (!token.empty() && !base64Decode(token, &received)) return false;
  SecBuffer in = {static_cast<unsigned long>(received.size()), SECBUFFER_TOKEN, received.data()};
  SecBufferDesc inDescription = {SECBUFFER_VERSION, 1, &in};
  SecBuffer out = {0, SECBUFFER_TOKEN, nullptr};
  SecBufferDesc outDescription = {SECBUFFER_VERSION, 1, &out};
  std::string target = "HTTP/" + proxy_.host;
  unsigned long granted = 0;
  const bool first = !haveContext_;
  SECURITY_STATUS status = InitializeSecurityContextA(
      &credentials_, first ? nullptr : &context_, &target[0], ISC_REQ_ALLOCATE_MEMORY | ISC_REQ_CONNECTION, 0,
      SECURITY_NATIVE_DREP, first ? nullptr : &inDescription, 0, &context_, &outDescription, &granted, nullptr);
  if (first && (status == SEC_E_OK || status == SEC_I_CONTINUE_NEEDED)) haveContext_ = true;
  std::string sent;
  if (out.pvBuffer) {
    sent.assign(static_cast<const char*>(out.pvBuffer), out.cbBuffer);
    FreeContextBuffer(out.pvBuffer);
  }
  if ((status != SEC_E_OK && status != SEC_I_CONTINUE_NEEDED) || sent.empty()) return false;
  scheme_ = package_;
  *value = package_ + " " + base64Encode(sent.data(), sent.size());
  return true;
}

void ProxyLogon::endSspi() {
  if (haveContext_) DeleteSecurityContext(&context_);
  if (haveCredentials_) FreeCredentialsHandle(&credentials_);
  haveContext_ = haveCredentials_ = false;
  package_.clear();
}

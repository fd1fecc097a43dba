// The way to a server beyond plain TCP: the proxy chosen for an address, the tunnel
// through it, the logon it asks for, and the TLS session with the server.
#include <stdexcept>

#include "net/certificate_check.h"
#include "net/connection_notes.h"
#include "net/plain_channel.h"
#include "net/proxy_logon.h"
#include "net/socket.h"
#include "net/system_proxy.h"
#include "net/tls_channel.h"
#include "services/message_box.h"
#include "win32/handles.h"

namespace {

// A proxy that asks again and again is given up on after this many requests.
const int kLogonSteps = 6;
// A proxy's answer head longer than this is not read.
const size_t kLargestProxyHead = 64 * 1024;
const size_t kProxyReadSize = 16 * 1024;

// Certificates the TLS session hands out.
struct CertificateTraits {
  static PCCERT_CONTEXT none() { return nullptr; }
  static bool valid(PCCERT_CONTEXT certificate) { return certificate != nullptr; }
  static bool close(PCCERT_CONTEXT certificate) { return CertFreeCertificateContext(certificate) != 0; }
};
using Certificate = UniqueHandle<PCCERT_CONTEXT, CertificateTraits>;

}  // namespace

void Socket::openTo(const Url& target) {
  Route next;
  next.host = target.getHost();
  next.port = target.getPort();
  next.secure = target.isSecure();
  ProxyChoice choice = chooseProxy(target);
  if (!choice.problem.empty()) refuse("open", "Proxy", choice.problem);
  next.proxy = choice.proxy;
  next.proxyOrigin = choice.origin;
  close();
  route = next;
  logonScheme.clear();
  host = route.throughProxy() ? route.proxy.host : route.host;
  port = route.throughProxy() ? route.proxy.port : route.port;
  resolveHostname();
}

void Socket::establishRoute() {
  if (!route.secure && !route.throughProxy()) return;  // plain TCP, as it stands
  // From here every wait is bounded by the idle limit.
  setBlocking(false, false);
  if (!route.secure) return;  // a plain request talks to its proxy when it is sent
  if (route.throughProxy()) {
    const std::string target = route.hostPort();
    talkToProxy("CONNECT " + target + " HTTP/1.1\r\nHost: " + target + "\r\n\r\n", true, "connect");
  }
  startTls();
}

void Socket::startTls() {
  tls.reset(new TlsChannel(*plain));
  std::string reason;
  if (!tls->handshake(route.host, receiveTimeout, &reason))
    refuse("connect", "Connect", "TLS handshake with " + route.hostPort() + " failed: " + reason);
  const Certificate certificate(tls->serverCertificate());
  if (!certificate.get())
    refuse("connect", "Certificate", "Certificate of " + route.host + " refused: the server showed none");
  if (!certificateTrusted(certificate.get(), route.host, &reason))
    refuse("connect", "Certificate", "Certificate of " + route.host + " refused: " + reason);
  channel = tls.get();
  noteConnectionMade();
}

void Socket::talkToProxy(const std::string& request, bool tunnel, const char* operation) {
  const std::string proxyName = "Proxy " + route.proxy.hostPort();
  ProxyLogon logon(route.proxy);
  std::string authorization = logon.opening();
  for (int step = 0; step < kLogonSteps; ++step) {
    const std::string lines = authorization.empty() ? "" : "Proxy-Authorization: " + authorization + "\r\n";
    const std::string text = requestForProxy(request, lines, logon.boundToConnection());
    int error = 0;
    plain->sendAll(text.data(), text.size(), &error);  // a failure shows in the answer
    std::string head, rest;
    const std::string problem = readProxyAnswer(&head, &rest);
    if (!problem.empty()) refuse(operation, "Proxy", proxyName + " " + problem);
    const int status = responseStatus(head);
    if (status != 407) {
      if (tunnel && (status < 200 || status > 299))
        refuse(operation, "Proxy",
               proxyName + " opened no tunnel to " + route.hostPort() + ": " + statusLine(head));
      plain->giveBack(tunnel ? rest : head + rest);
      logonScheme = logon.scheme();
      if (!tunnel) noteConnectionMade();
      return;
    }
    std::string why;
    if (!logon.answer(proxyChallenges(head), &authorization, &why))
      refuse(operation, "Proxy", proxyName + " refused the connection (407): " + why);
    // A logon bound to the connection goes on in it when the proxy keeps it open;
    // otherwise the next step starts on a fresh connection.
    if (!(logon.boundToConnection() && connectionStaysOpen(head) && skipProxyBody(head, rest))) {
      connectTcp();
      setBlocking(false, false);
    }
  }
  refuse(operation, "Proxy", proxyName + " keeps asking for authentication");
}

std::string Socket::readProxyAnswer(std::string* head, std::string* rest) {
  std::string received;
  char buffer[kProxyReadSize];
  for (;;) {
    const size_t end = received.find("\r\n\r\n");
    if (end != std::string::npos) {
      *head = received.substr(0, end + 4);
      *rest = received.substr(end + 4);
      return "";
    }
    if (received.size() > kLargestProxyHead) return "sent an answer too long to read";
    int error = 0;
    const int got = readWithin(*plain, buffer, sizeof buffer, receiveTimeout, &error);
    if (got > 0) {
      received.append(buffer, static_cast<size_t>(got));
      continue;
    }
    if (got == ByteChannel::kClosed)
      return received.empty() ? "closed the connection without an answer" : "closed the connection in its answer";
    if (got == ByteChannel::kNothingYet)
      return "did not answer within " + std::to_string(receiveTimeout / 1000) + " seconds";
    return "could not be read from (socket error " + std::to_string(error) + ")";
  }
}

// Reads past the body of an answer on a connection that stays open; false when its
// end cannot be known, or it does not come.
bool Socket::skipProxyBody(const std::string& head, const std::string& rest) {
  const long long announced = announcedBodyOf(head);
  if (announced < 0) return false;
  long long left = announced - static_cast<long long>(rest.size());
  char buffer[kProxyReadSize];
  while (left > 0) {
    int error = 0;
    const int got = readWithin(*plain, buffer, sizeof buffer, receiveTimeout, &error);
    if (got <= 0) return false;
    left -= got;
  }
  return left == 0;
}

void Socket::noteConnectionMade() {
  std::string text = "Connection to " + route.hostPort() + ":";
  if (route.secure) text += " " + tls->protocol() + (route.throughProxy() ? "," : "");
  if (route.throughProxy()) {
    text += " through proxy " + route.proxy.hostPort() + " (" + route.proxyOrigin;
    if (!logonScheme.empty()) text += ", " + logonScheme + " logon";
    text += ")";
  }
  noteConnection(ConnectionNote::made, text);
}

void Socket::refuse(const char* operation, const char* caption, const std::string& text) {
  showError(ownerWindow, caption, text.c_str());
  noteConnection(ConnectionNote::refused, text);
  throw std::logic_error(std::string("Socket::") + operation + "() -> Error: " + text);
}

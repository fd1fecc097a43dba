// Url assignment with arbitrary text: it either refuses with one of its own
// messages or yields parts that put back together give the address.
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <stdexcept>
#include <string>

#include "net/url.h"

namespace {

void check(bool condition) {
  if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  Url url;
  try {
    url = text;
  } catch (const std::logic_error& e) {
    const std::string message = e.what();
    check(message == "Url::operator=() -> Error: Invalid URL" || message == "Url::extract() -> Error: Invalid URL" ||
          message == "Url::extract() -> Error: Invalid port number");
    check(!url.isValid());
    return 0;
  }

  check(url.isValid());
  const std::string protocol = url.getProtocol(), host = url.getHost(), path = url.getPath();
  check(protocol.size() >= 3 && protocol.compare(protocol.size() - 3, 3, "://") == 0);
  check(!path.empty() && path[0] == '/');
  check(host.find('/') == std::string::npos && host.find(':') == std::string::npos);
  check(url.getPort() <= 65535);

  // The address is the protocol, the host, any port text, then the path if one was written.
  const std::string whole = url.getUrl();
  check(whole.compare(0, protocol.size(), protocol) == 0);
  check(whole.compare(protocol.size(), host.size(), host) == 0);
  const std::string afterHost = whole.substr(protocol.size() + host.size());
  const size_t slash = afterHost.find('/');
  const std::string portText = afterHost.substr(0, slash);
  check(slash == std::string::npos ? path == "/" : afterHost.substr(slash) == path);
  const int defaultPort = url.isSecure() ? 443 : 80;
  if (portText.empty()) {
    check(url.getPort() == defaultPort);
  } else {
    check(portText[0] == ':');
    std::istringstream stream(portText.substr(1));
    int expected = 0;
    check(static_cast<bool>(stream >> expected) && expected == url.getPort());
  }

  const std::string hostPort = url.getHostPort();
  check(url.getPort() == defaultPort ? hostPort == host : hostPort == host + ":" + std::to_string(url.getPort()));

  Url copy(url);
  check(copy.getUrl() == whole && copy.getHostPort() == hostPort && copy.isValid());
  return 0;
}

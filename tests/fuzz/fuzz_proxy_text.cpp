// Whatever a proxy answers, and whatever a proxy setting says: its head read for the
// status, challenges and connection; the setting read as an address, a list and a
// bypass list. Base64 goes there and back unchanged.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "net/proxy_text.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  const int status = responseStatus(text);
  if (status < 0 || status > 999) std::abort();
  for (const ProxyChallenge& challenge : proxyChallenges(text))
    if (challenge.scheme.find(' ') != std::string::npos) std::abort();
  connectionStaysOpen(text);
  if (announcedBodyOf(text) < -1) std::abort();

  ProxyServer proxy;
  if (parseProxyAddress(text, &proxy) && (proxy.host.empty() || proxy.port < 1 || proxy.port > 65535))
    std::abort();
  if (proxyForScheme(text, "https", &proxy) && proxy.host.empty()) std::abort();
  bypassesProxy(text, "files.corp.example", 8080);
  bypassesProxy("*.corp.example;<local>", text, 80);

  const std::string request = "GET / HTTP/1.1\r\nConnection: close\r\n\r\n";
  if (requestForProxy(request, text, true).size() != request.size() + text.size() + 5) std::abort();
  return 0;
}

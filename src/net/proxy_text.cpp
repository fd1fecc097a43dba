#include "net/proxy_text.h"

#include <cstdlib>
#include <cstring>

#include "net/ascii_text.h"

namespace {

bool isDigits(const std::string& text) {
  if (text.empty()) return false;
  for (char c : text)
    if (c < '0' || c > '9') return false;
  return true;
}

std::string percentDecoded(const std::string& text) {
  std::string result;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '%' && i + 2 < text.size() && hexValue(text[i + 1]) >= 0 && hexValue(text[i + 2]) >= 0) {
      result += static_cast<char>(hexValue(text[i + 1]) * 16 + hexValue(text[i + 2]));
      i += 2;
    } else {
      result += text[i];
    }
  }
  return result;
}

// Splits at any of `separators`, dropping empty pieces.
std::vector<std::string> split(const std::string& text, const char* separators) {
  std::vector<std::string> pieces;
  std::string piece;
  for (char c : text) {
    if (std::string(separators).find(c) != std::string::npos) {
      if (!piece.empty()) pieces.push_back(piece);
      piece.clear();
    } else {
      piece += c;
    }
  }
  if (!piece.empty()) pieces.push_back(piece);
  return pieces;
}

// "*" matches any run of characters; letter case is ignored.
bool wildcardMatch(const std::string& pattern, const std::string& text) {
  size_t p = 0, t = 0, star = std::string::npos, resume = 0;
  while (t < text.size()) {
    if (p < pattern.size() && pattern[p] == '*') {
      star = p++;
      resume = t;
    } else if (p < pattern.size() && lower(pattern[p]) == lower(text[t])) {
      ++p;
      ++t;
    } else if (star != std::string::npos) {
      p = star + 1;
      t = ++resume;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == '*') ++p;
  return p == pattern.size();
}

bool isLoopback(const std::string& host) {
  const std::string name = lowered(host);
  return name == "localhost" || name == "loopback" || name == "::1" || name == "[::1]" ||
         name.compare(0, 4, "127.") == 0;
}

}  // namespace

bool parseProxyAddress(const std::string& text, ProxyServer* proxy) {
  std::string rest = text;
  size_t scheme = rest.find("://");
  if (scheme != std::string::npos) {
    if (!equalsNoCase(rest.substr(0, scheme), "http")) return false;
    rest.erase(0, scheme + 3);
  }
  rest = rest.substr(0, rest.find('/'));
  ProxyServer result;
  size_t at = rest.rfind('@');
  if (at != std::string::npos) {
    std::string userInfo = rest.substr(0, at);
    size_t colon = userInfo.find(':');
    result.user = percentDecoded(userInfo.substr(0, colon));
    if (colon != std::string::npos) result.password = percentDecoded(userInfo.substr(colon + 1));
    rest.erase(0, at + 1);
  }
  size_t colon = rest.rfind(':');
  result.port = 80;
  if (colon != std::string::npos && rest.find(']', colon) == std::string::npos) {
    std::string port = rest.substr(colon + 1);
    if (!isDigits(port) || port.size() > 5) return false;
    result.port = std::atoi(port.c_str());
    rest.erase(colon);
  }
  if (rest.empty() || result.port < 1 || result.port > 65535) return false;
  result.host = rest;
  *proxy = result;
  return true;
}

bool proxyForScheme(const std::string& list, const std::string& scheme, ProxyServer* proxy) {
  bool found = false;
  for (const std::string& entry : split(list, "; \t")) {
    size_t equals = entry.find('=');
    if (equals != std::string::npos) {
      if (lowered(entry.substr(0, equals)) != scheme) continue;
      return parseProxyAddress(entry.substr(equals + 1), proxy);
    }
    if (!found) found = parseProxyAddress(entry, proxy);
  }
  return found;
}

bool bypassesProxy(const std::string& bypassList, const std::string& host, int port) {
  std::vector<std::string> entries = split(bypassList, ";, \t\r\n");
  bool loopbackBypassed = true;
  for (const std::string& entry : entries)
    if (equalsNoCase(entry, "<-loopback>")) loopbackBypassed = false;
  if (loopbackBypassed && isLoopback(host)) return true;
  for (std::string entry : entries) {
    if (equalsNoCase(entry, "<local>")) {
      if (host.find('.') == std::string::npos && host.find(':') == std::string::npos) return true;
      continue;
    }
    size_t scheme = entry.find("://");
    if (scheme != std::string::npos) entry.erase(0, scheme + 3);
    size_t colon = entry.rfind(':');
    if (colon != std::string::npos && isDigits(entry.substr(colon + 1))) {
      if (std::atoi(entry.c_str() + colon + 1) != port) continue;
      entry.erase(colon);
    }
    if (!entry.empty() && entry[0] != '<' && wildcardMatch(entry, host)) return true;
  }
  return false;
}


std::vector<ProxyChallenge> proxyChallenges(const std::string& head) {
  std::vector<ProxyChallenge> challenges;
  for (const auto& line : headerLines(head)) {
    if (line.first != "proxy-authenticate") continue;
    const std::string& value = line.second;
    const size_t space = value.find(' ');
    const size_t rest = space == std::string::npos ? std::string::npos : value.find_first_not_of(' ', space);
    challenges.push_back({value.substr(0, space), rest == std::string::npos ? "" : value.substr(rest)});
  }
  return challenges;
}

bool connectionStaysOpen(const std::string& head) {
  bool open = head.compare(0, 8, "HTTP/1.1") == 0;
  for (const auto& line : headerLines(head)) {
    if (line.first != "connection" && line.first != "proxy-connection") continue;
    const std::string value = lowered(line.second);
    if (value.find("close") != std::string::npos) return false;
    if (value.find("keep-alive") != std::string::npos) open = true;
  }
  return open;
}

long long announcedBodyOf(const std::string& head) {
  for (const auto& line : headerLines(head)) {
    if (line.first == "transfer-encoding") return -1;
    if (line.first == "content-length")
      return isDigits(line.second) && line.second.size() < 18 ? std::atoll(line.second.c_str()) : -1;
  }
  return 0;
}

std::string requestForProxy(const std::string& request, const std::string& lines, bool keepOpen) {
  size_t end = request.rfind("\r\n\r\n");
  if (end == std::string::npos) return request;
  std::string head = request.substr(0, end + 2);
  if (keepOpen) {
    size_t at = head.find("\r\nConnection: close\r\n");
    if (at != std::string::npos) head.replace(at, 21, "\r\nConnection: keep-alive\r\n");
  }
  return head + lines + request.substr(end + 2);
}

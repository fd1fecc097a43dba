// An absolute address split into protocol, host, port and path. Plain value code.
#pragma once
#include <cstddef>
#include <string>

// Length of the scheme name `text` begins with (a letter, then letters, digits, "+",
// "-" or "."), or 0 when it begins with none.
size_t schemeNameLength(const std::string& text);

class Url {
 public:
  Url();
  Url(const Url&) = default;
  Url& operator=(const Url&) = default;

  // Resets, then parses the text. Raises std::logic_error on refusal.
  Url operator=(const std::string& text);

  // Parses `url` in place. Raises std::logic_error on refusal.
  void extract();
  void reset();

  bool isValid() const;
  int getPort() const;
  std::string getUrl() const;
  std::string getProtocol() const;
  std::string getHost() const;
  std::string getPath() const;
  std::string getPortString() const;
  std::string getHostPort() const;
  // An https:// address (in any letter case): TLS, port 443 unless it names one.
  bool isSecure() const;

 private:
  bool valid;
  int port;
  std::string url;
  std::string protocol;
  std::string host;
  std::string path;
};

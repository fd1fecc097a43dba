#include "crypto/pem.h"

#include "crypto/base64.h"

namespace {

bool onlyWhiteSpace(const std::string& text, size_t from, size_t to) {
  for (size_t i = from; i < to; ++i)
    if (text[i] != ' ' && text[i] != '\t' && text[i] != '\r' && text[i] != '\n') return false;
  return true;
}

}  // namespace

bool readPem(const std::string& text, const std::string& label, std::vector<uint8_t>* der, std::string* reason) {
  const std::string beginLine = "-----BEGIN " + label + "-----", endLine = "-----END " + label + "-----";
  const size_t begin = text.find(beginLine);
  if (begin == std::string::npos) {
    *reason = "no \"" + beginLine + "\" line";
    return false;
  }
  if (!onlyWhiteSpace(text, 0, begin)) {
    *reason = "text before the \"" + beginLine + "\" line";
    return false;
  }
  const size_t bodyStart = begin + beginLine.size();
  const size_t end = text.find(endLine, bodyStart);
  if (end == std::string::npos) {
    *reason = "no \"" + endLine + "\" line";
    return false;
  }
  if (!onlyWhiteSpace(text, end + endLine.size(), text.size())) {
    *reason = "text after the \"" + endLine + "\" line";
    return false;
  }
  std::string body;
  for (size_t i = bodyStart; i < end; ++i)
    if (text[i] != '\r' && text[i] != '\n') body += text[i];
  if (!base64Decode(body, der)) {
    *reason = "the lines between BEGIN and END are not base64";
    return false;
  }
  return true;
}

std::string writePem(const std::string& label, const std::vector<uint8_t>& der) {
  const std::string body = base64Encode(der.data(), der.size());
  std::string text = "-----BEGIN " + label + "-----\n";
  for (size_t at = 0; at < body.size(); at += 64) text += body.substr(at, 64) + "\n";
  return text + "-----END " + label + "-----\n";
}

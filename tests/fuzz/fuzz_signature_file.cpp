// Arbitrary signature files: the parser refuses with a reason, or what it read,
// written again, is the input byte for byte (the format has one text per content),
// with the signature covering exactly the lines before it.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "crypto/signature_file.h"

namespace {
void require(bool condition) {
  if (!condition) std::abort();
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const char* text = reinterpret_cast<const char*>(data);
  SignatureFile parsed;
  std::string reason;
  if (!parseSignatureFile(text, size, &parsed, &reason)) {
    require(!reason.empty());
    return 0;
  }
  std::string signedPart;
  require(signedPartText(parsed, &signedPart, &reason));
  require(parsed.signedLength == signedPart.size());
  require(signedPart + signatureLine(parsed.signature) == std::string(text, size));
  for (const SignedFile& file : parsed.files) require(findSignedFile(parsed, file.name) == &file);
  return 0;
}

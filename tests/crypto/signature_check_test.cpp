// BCrypt under Wine checks the signatures OpenSSL makes (a fixture made them with the
// openssl command in VM_OPENSSL_DIR), refuses them once anything changed, and the key
// built into a program reads back.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>

#include "crypto/embedded_publisher_key.h"
#include "crypto/hex_text.h"
#include "crypto/signature_check.h"

namespace {

std::string readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

PublisherKey keyFrom(const std::string& path) {
  const std::string pem = readFile(path);
  PublisherKey key;
  std::string reason;
  EXPECT_TRUE(parsePublisherKeyPem(pem.data(), pem.size(), &key, &reason)) << path << ": " << reason;
  return key;
}

}  // namespace

TEST(SignatureCheck, BCryptTakesOpenSslsSignaturesAndRefusesAnyChange) {
  const char* dir = std::getenv("VM_OPENSSL_DIR");
  if (!dir || !*dir) GTEST_SKIP() << "VM_OPENSSL_DIR is not set (run through ctest)";
  const std::string base = std::string("Z:") + dir + "\\";
  const PublisherKey key = keyFrom(base + "public.pem"), other = keyFrom(base + "other.pem");
  for (int n = 1; n <= 8; ++n) {
    std::string message = readFile(base + "message-" + std::to_string(n));
    const std::string der = readFile(base + "message-" + std::to_string(n) + ".sig");
    ASSERT_EQ(n * 1000u, message.size());
    RawSignature signature;
    std::string reason;
    ASSERT_TRUE(derToRawSignature(reinterpret_cast<const uint8_t*>(der.data()), der.size(), &signature, &reason))
        << reason;
    EXPECT_TRUE(verifySignature(key, message.data(), message.size(), signature, &reason)) << n << ": " << reason;

    EXPECT_FALSE(verifySignature(other, message.data(), message.size(), signature, &reason)) << n;
    EXPECT_EQ("the signature is not the publisher's", reason);
    RawSignature flipped = signature;
    flipped[n * 7] ^= 0x10;
    EXPECT_FALSE(verifySignature(key, message.data(), message.size(), flipped, &reason)) << n;
    message[n * 100] ^= 1;
    EXPECT_FALSE(verifySignature(key, message.data(), message.size(), signature, &reason)) << n;
  }
}

TEST(EmbeddedPublisherKey, ReadsTheProgramsOwnKeyAndNoneFromAModuleWithout) {
  const EmbeddedPublisherKey own = embeddedPublisherKey();
  ASSERT_EQ(EmbeddedPublisherKey::State::present, own.state) << own.reason;
  EXPECT_EQ("b46f7b16c7b6ce627706ba1bff867b5a12d54be4088b3239e872218105773f61"
            "75ef2fdf2312ff47b31a91edae0da6caf315b8ba9518d2adecaa6518b4dfd690",
            hexText(own.key.point.data(), 64));
  EXPECT_EQ(EmbeddedPublisherKey::State::none, embeddedPublisherKey(GetModuleHandleA("kernel32.dll")).state);
}

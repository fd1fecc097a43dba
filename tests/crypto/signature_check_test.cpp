// BCrypt under Wine checks the signatures OpenSSL makes (a fixture made them with the
// openssl command in VM_OPENSSL_DIR) and refuses them once anything changed; a folder
// signed by the publisher's tool passes the installer's check of its manifest until it
// is tampered with; and the key built into a program reads back.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include "crypto/embedded_publisher_key.h"
#include "crypto/hex_text.h"
#include "crypto/signature_check.h"
#include "crypto/signed_manifest.h"
#include "manifest_tool.h"
#include "support/temporary_directory.h"
#include "support/test_files.h"

namespace {

// A whole file; empty when it cannot be read.
std::string readFile(const std::string& path) { return readWholeFile(path, ""); }

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

TEST(SignedManifest, WhatTheToolSignsPassesAndEveryTamperIsNamed) {
  const ScratchDirectory scratch("velmorin-signed-" + std::to_string(GetCurrentProcessId()));
  const std::string& dir = scratch.path();
  CreateDirectoryA((dir + "\\Kestrel-Bay").c_str(), nullptr);
  std::ofstream(dir + "\\Kestrel-Bay\\a file.txt", std::ios::binary) << "contents";
  std::ostringstream out, err;
  ASSERT_EQ(kToolDone, runManifestTool({"keygen", dir + "\\private.pem", dir + "\\public.pem"}, out, err, false));
  ASSERT_EQ(kToolDone, runManifestTool({"--sign", dir + "\\private.pem", dir + "\\Kestrel-Bay"}, out, err, false))
      << err.str();
  const PublisherKey key = keyFrom(dir + "\\public.pem");
  const std::string signature = readFile(dir + "\\Kestrel-Bay\\downloadgi.sig");
  std::string manifest = readFile(dir + "\\Kestrel-Bay\\downloadgi.txt");

  SignatureFile parsed;
  std::string reason;
  ASSERT_TRUE(checkSignedManifest(key, signature, "Kestrel-Bay", manifest.data(), manifest.size(), &parsed, &reason))
      << reason;
  ASSERT_NE(nullptr, findSignedFile(parsed, "a file.txt"));
  EXPECT_EQ(sha256("contents", 8), findSignedFile(parsed, "a file.txt")->sha256);

  EXPECT_FALSE(checkSignedManifest(key, signature, "Moor-Z2", manifest.data(), manifest.size(), &parsed, &reason));
  EXPECT_EQ("The signature file downloadgi.sig is signed for another product (Kestrel-Bay).", reason);
  EXPECT_FALSE(checkSignedManifest(keyFrom(std::string("Z:") + std::getenv("VM_OPENSSL_DIR") + "\\other.pem"),
                                   signature, "Kestrel-Bay", manifest.data(), manifest.size(), &parsed, &reason));
  EXPECT_EQ("The signature file downloadgi.sig is not signed by the publisher: the signature is not the publisher's.",
            reason);
  EXPECT_FALSE(checkSignedManifest(key, signature.substr(0, signature.size() - 1), "Kestrel-Bay", manifest.data(),
                                   manifest.size(), &parsed, &reason));
  EXPECT_EQ(0u, reason.find("The signature file downloadgi.sig is damaged: line ")) << reason;
  manifest[manifest.size() - 3] ^= 1;
  EXPECT_FALSE(checkSignedManifest(key, signature, "Kestrel-Bay", manifest.data(), manifest.size(), &parsed, &reason));
  EXPECT_EQ("The install manifest downloadgi.txt is not the one the publisher signed.", reason);
}

TEST(EmbeddedPublisherKey, ReadsTheProgramsOwnKeyAndNoneFromAModuleWithout) {
  const EmbeddedPublisherKey own = embeddedPublisherKey();
  ASSERT_EQ(EmbeddedPublisherKey::State::present, own.state) << own.reason;
  EXPECT_EQ("b46f7b16c7b6ce627706ba1bff867b5a12d54be4088b3239e872218105773f61"
            "75ef2fdf2312ff47b31a91edae0da6caf315b8ba9518d2adecaa6518b4dfd690",
            hexText(own.key.point.data(), 64));
  EXPECT_EQ(EmbeddedPublisherKey::State::none, embeddedPublisherKey(GetModuleHandleA("kernel32.dll")).state);
}

// Keys and signatures with OpenSSL's libcrypto, for the native build.
#include <openssl/bio.h>
#include <openssl/err.h>
#include <openssl/evp.h>
#include <openssl/pem.h>

#include "signing_key.h"

namespace {

struct FreeKey {
  void operator()(EVP_PKEY* key) const { EVP_PKEY_free(key); }
};
struct FreeBio {
  void operator()(BIO* bio) const { BIO_free(bio); }
};
struct FreeContext {
  void operator()(EVP_MD_CTX* context) const { EVP_MD_CTX_free(context); }
};
using KeyPointer = std::unique_ptr<EVP_PKEY, FreeKey>;
using BioPointer = std::unique_ptr<BIO, FreeBio>;
using ContextPointer = std::unique_ptr<EVP_MD_CTX, FreeContext>;

// OpenSSL's own words for its last failure, after ours.
std::string failure(const std::string& what) {
  const unsigned long code = ERR_get_error();
  ERR_clear_error();
  if (code == 0) return what;
  char text[256];
  ERR_error_string_n(code, text, sizeof text);
  return what + " (" + text + ")";
}

std::string memoryText(BIO* bio) {
  char* data = nullptr;
  const long length = BIO_get_mem_data(bio, &data);
  return std::string(data, static_cast<size_t>(length));
}

// Encrypted keys are refused instead of asking for a passphrase on the terminal.
int noPassphrase(char*, int, int, void*) { return -1; }

}  // namespace

struct SigningKey::Held {
  KeyPointer key;
};

SigningKey::SigningKey() : held_(new Held) {}
SigningKey::~SigningKey() = default;

bool generateKeyPair(std::string* privatePem, std::string* publicPem, std::string* error) {
  KeyPointer key(EVP_EC_gen("P-256"));
  BioPointer privateBio(BIO_new(BIO_s_mem())), publicBio(BIO_new(BIO_s_mem()));
  if (!key || !privateBio || !publicBio ||
      PEM_write_bio_PrivateKey(privateBio.get(), key.get(), nullptr, nullptr, 0, nullptr, nullptr) != 1 ||
      PEM_write_bio_PUBKEY(publicBio.get(), key.get()) != 1) {
    *error = failure("no key pair could be made");
    return false;
  }
  *privatePem = memoryText(privateBio.get());
  *publicPem = memoryText(publicBio.get());
  return true;
}

bool SigningKey::load(const std::string& pem, std::string* error) {
  BioPointer bio(BIO_new_mem_buf(pem.data(), static_cast<int>(pem.size())));
  held_->key.reset(bio ? PEM_read_bio_PrivateKey(bio.get(), nullptr, noPassphrase, nullptr) : nullptr);
  if (!held_->key) {
    *error = pem.find("ENCRYPTED") != std::string::npos ? "the key is encrypted; an unencrypted key is wanted"
                                                         : failure("not a private key");
    ERR_clear_error();
    return false;
  }
  // Its public half, read back by the installer's own parser: the curve is checked there.
  BioPointer publicBio(BIO_new(BIO_s_mem()));
  std::string reason;
  if (!publicBio || PEM_write_bio_PUBKEY(publicBio.get(), held_->key.get()) != 1) {
    *error = failure("its public key cannot be had");
    return false;
  }
  const std::string publicPem = memoryText(publicBio.get());
  if (!parsePublisherKeyPem(publicPem.data(), publicPem.size(), &publicKey_, &reason)) {
    *error = "not an ECDSA P-256 key: " + reason;
    return false;
  }
  return true;
}

bool SigningKey::sign(const std::string& message, RawSignature* signature, std::string* error) const {
  ContextPointer context(EVP_MD_CTX_new());
  unsigned char der[80];
  size_t length = sizeof der;
  if (!context || EVP_DigestSignInit(context.get(), nullptr, EVP_sha256(), nullptr, held_->key.get()) != 1 ||
      EVP_DigestSign(context.get(), der, &length, reinterpret_cast<const unsigned char*>(message.data()),
                     message.size()) != 1) {
    *error = failure("signing failed");
    return false;
  }
  return derToRawSignature(der, length, signature, error);
}

bool checkSignature(const PublisherKey& key, const std::string& message, const RawSignature& signature,
                    std::string* reason) {
  const std::vector<uint8_t> keyDer = publisherKeyDer(key);
  const unsigned char* at = keyDer.data();
  KeyPointer publicKey(d2i_PUBKEY(nullptr, &at, static_cast<long>(keyDer.size())));
  if (!publicKey) {
    *reason = failure("the public key is not a point of P-256");
    return false;
  }
  const std::vector<uint8_t> der = rawToDerSignature(signature);
  ContextPointer context(EVP_MD_CTX_new());
  const int verified =
      context && EVP_DigestVerifyInit(context.get(), nullptr, EVP_sha256(), nullptr, publicKey.get()) == 1
          ? EVP_DigestVerify(context.get(), der.data(), der.size(),
                             reinterpret_cast<const unsigned char*>(message.data()), message.size())
          : -1;
  ERR_clear_error();
  if (verified == 1) return true;
  *reason = "the signature is not the publisher's";
  return false;
}

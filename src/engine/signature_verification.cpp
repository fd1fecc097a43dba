#include "engine/signature_verification.h"

#include <utility>

#include "crypto/signed_manifest.h"
#include "download/install_descriptor.h"
#include "engine/package_signature.h"
#include "engine/release_serial.h"

bool verifyPackageSignature(const std::string& manifest, const std::string& signature, SerialRule rule,
                            std::string* reason) {
  SignatureFile parsed;
  if (!checkSignedManifest(g_packageSignature.key, signature, g_productName, manifest.data(), manifest.size(),
                           &parsed, reason))
    return false;
  const uint64_t highest = rememberedSerial(g_productName);
  if (rule == SerialRule::refuseOlder && parsed.serial < highest) {
    *reason = "The package is an older release (serial " + std::to_string(parsed.serial) +
              ") than one already downloaded (serial " + std::to_string(highest) + ").";
    return false;
  }
  rememberSerial(g_productName, parsed.serial);
  g_packageSignature.file = std::move(parsed);
  g_packageSignature.verified = true;
  return true;
}

bool everyFileSigned(RecordNode* files, std::string* reason) {
  for (RecordNode* node = files; node; node = node->next) {
    const FileRecord* record = static_cast<const FileRecord*>(node->item);
    if (!findSignedFile(g_packageSignature.file, record->name)) {
      *reason = std::string("The install manifest lists ") + record->name + ", which downloadgi.sig does not sign.";
      return false;
    }
  }
  return true;
}

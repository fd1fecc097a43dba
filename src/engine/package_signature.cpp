#include "engine/package_signature.h"

#include <cstring>

#include "crypto/embedded_publisher_key.h"
#include "engine/engine_console.h"
#include "engine/engine_texts.h"
#include "framework/app_name.h"
#include "services/install_log.h"
#include "services/main_window.h"
#include "services/message_box.h"
#include "services/process_exit.h"

PackageSignature g_packageSignature;

void loadPublisherKey() {
  EmbeddedPublisherKey embedded = embeddedPublisherKey();
  if (embedded.state == EmbeddedPublisherKey::State::none) return;
  g_packageSignature.required = true;
  if (embedded.state == EmbeddedPublisherKey::State::unusable)
    refusePackage("The publisher key built into this program is unusable: " + embedded.reason + ".");
  g_packageSignature.key = embedded.key;
}

const SignedFile* checkedSignedFile(const std::string& name) {
  return g_packageSignature.verified ? findSignedFile(g_packageSignature.file, name) : nullptr;
}

bool digestsMatchRecord(const FileRecord& record, const FileDigestResult& digests) {
  if (std::strcmp(digests.md5, record.digest) != 0) return false;
  if (!g_packageSignature.required) return true;
  const SignedFile* signedFile = checkedSignedFile(record.name);
  return signedFile && signedFile->sha256 == digests.sha256;
}

void refusePackage(const std::string& reason) {
  const std::string text = packageRefusalText(reason, logFilePath());
  consolePrintError((text + "\n").c_str());
  showError(g_mainWindow, applicationName(), text.c_str());
  endProcess(kExitAborted);
}

#include "crypto/embedded_publisher_key.h"

EmbeddedPublisherKey embeddedPublisherKey(HMODULE module) {
  EmbeddedPublisherKey embedded;
  HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(kPublisherKeyResource), MAKEINTRESOURCEA(10) /* RT_RCDATA */);
  if (!found) return embedded;
  embedded.state = EmbeddedPublisherKey::State::unusable;
  HGLOBAL loaded = LoadResource(module, found);  // resources need no release
  const void* bytes = loaded ? LockResource(loaded) : nullptr;
  if (!bytes) {
    embedded.reason = "the key resource cannot be loaded";
    return embedded;
  }
  if (parsePublisherKeyPem(static_cast<const char*>(bytes), SizeofResource(module, found), &embedded.key,
                           &embedded.reason))
    embedded.state = EmbeddedPublisherKey::State::present;
  return embedded;
}

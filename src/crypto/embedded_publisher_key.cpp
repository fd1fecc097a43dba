#include "crypto/embedded_publisher_key.h"

#include "resources/resource_ids.h"
#include "win32/raw_resource.h"

EmbeddedPublisherKey embeddedPublisherKey(HMODULE module) {
  EmbeddedPublisherKey embedded;
  const RawResource resource = rawResource(IDR_PUBLISHER_KEY, module);
  if (!resource.found) return embedded;
  embedded.state = EmbeddedPublisherKey::State::unusable;
  if (!resource.bytes) {
    embedded.reason = "the key resource cannot be loaded";
    return embedded;
  }
  if (parsePublisherKeyPem(resource.bytes, resource.size, &embedded.key, &embedded.reason))
    embedded.state = EmbeddedPublisherKey::State::present;
  return embedded;
}

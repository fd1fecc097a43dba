// The publisher key built into the program: raw data IDR_PUBLISHER_KEY (459), the PEM
// file that the build was given as VELMORIN_PUBLISHER_KEY. A build without one has no
// such resource and is unsigned.
#pragma once
#include <windows.h>

#include <string>

#include "crypto/publisher_key.h"

struct EmbeddedPublisherKey {
  enum class State { none, present, unusable };
  State state = State::none;
  PublisherKey key;
  std::string reason;  // unusable: why the resource is not a key
};

// The key of `module` (the program itself by default). A resource that is there but
// is not a usable key reads as unusable, never as none: a signed build stays signed.
EmbeddedPublisherKey embeddedPublisherKey(HMODULE module = nullptr);

// The digests of one file, fed in pieces as the file is read, so that it is read
// once: always its MD5 digest text, and its SHA-256 as well when asked (an installer
// with a publisher key checks both). One object serves file after file.
#pragma once
#include <cstddef>
#include <cstdint>

#include "crypto/block_buffer.h"
#include "crypto/sha256.h"

struct FileDigestResult {
  char md5[33] = "";      // digest text
  Sha256Digest sha256{};  // all zero unless the SHA-256 was asked for
};

class FileDigests {
 public:
  explicit FileDigests(bool withSha256);

  bool withSha256() const { return withSha256_; }
  void update(const void* data, size_t length);
  // The digests of everything given since the last finish; the next update starts
  // the next file.
  FileDigestResult finish();
  // Forgets what was given since the last finish: the next update starts a file.
  void restart();

 private:
  void hashBlocks(const unsigned char* data, size_t blocks);

  bool withSha256_;
  bool stitched_;  // both digests in one pass (processors with SHA instructions)
  uint32_t md5State_[4];
  uint32_t sha256State_[8];
  BlockBuffer blocks_;
};

// The digests of one file, fed in pieces as the file is read, so that it is read
// once: always its MD5 digest text, and its SHA-256 as well when asked (an installer
// with a publisher key checks both). One object serves file after file.
#pragma once
#include <cstddef>
#include <memory>

#include "crypto/sha256.h"
#include "download/md5_digest.h"

struct FileDigestResult {
  char md5[33] = "";  // digest text
  Sha256Digest sha256{};  // all zero unless the SHA-256 was asked for
};

class FileDigests {
 public:
  explicit FileDigests(bool withSha256);
  ~FileDigests();
  FileDigests(const FileDigests&) = delete;
  FileDigests& operator=(const FileDigests&) = delete;

  bool withSha256() const { return withSha256_; }
  void update(const void* data, size_t length);
  // The digests of everything given since the last finish; the next update starts
  // the next file.
  FileDigestResult finish();

 private:
  class SideThread;

  bool withSha256_;
  DigestStream md5_;
  Sha256 sha256_;
  bool sideThreadWorthIt_;            // more than one processor, and a thread to be had
  std::unique_ptr<SideThread> side_;  // started on the first large piece
};

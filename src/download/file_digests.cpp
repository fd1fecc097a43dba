#include "download/file_digests.h"

#include <cstring>

#include "crypto/sha256_blocks.h"
#include "download/md5_blocks.h"
#include "download/md5_sha256_blocks.h"

FileDigests::FileDigests(bool withSha256)
    : withSha256_(withSha256), stitched_(withSha256 && md5Sha256BlocksAvailable()) {
  restart();
}

void FileDigests::restart() {
  std::memcpy(md5State_, kMd5Initial, sizeof md5State_);
  std::memcpy(sha256State_, kSha256Initial, sizeof sha256State_);
  blocks_.clear();
}

void FileDigests::hashBlocks(const unsigned char* data, size_t blocks) {
  if (stitched_) {
    md5Sha256Blocks(md5State_, sha256State_, data, blocks);
    return;
  }
  md5Blocks(md5State_, data, blocks);
  if (withSha256_) sha256Blocks(sha256State_, data, blocks);
}

void FileDigests::update(const void* data, size_t length) {
  blocks_.add(data, length, [this](const unsigned char* bytes, size_t count) { hashBlocks(bytes, count); });
}

FileDigestResult FileDigests::finish() {
  FileDigestResult result;
  md5FinishText(md5State_, blocks_.pending(), blocks_.pendingLength(), blocks_.length(), result.md5);
  if (withSha256_) result.sha256 = sha256Finish(sha256State_, blocks_.pending(), blocks_.pendingLength(), blocks_.length());
  restart();
  return result;
}

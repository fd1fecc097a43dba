#include "download/file_digests.h"

#include <cstring>

#include "crypto/sha256_blocks.h"
#include "download/md5_blocks.h"
#include "download/md5_sha256_blocks.h"

FileDigests::FileDigests(bool withSha256)
    : withSha256_(withSha256), stitched_(withSha256 && md5Sha256BlocksAvailable()) {
  start();
}

void FileDigests::start() {
  std::memcpy(md5State_, kMd5Initial, sizeof md5State_);
  std::memcpy(sha256State_, kSha256Initial, sizeof sha256State_);
  length_ = 0;
  pendingLength_ = 0;
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
  const unsigned char* bytes = static_cast<const unsigned char*>(data);
  length_ += length;
  // Complete a block begun by an earlier piece first.
  if (pendingLength_ != 0) {
    const size_t take = length < 64 - pendingLength_ ? length : 64 - pendingLength_;
    std::memcpy(pending_ + pendingLength_, bytes, take);
    pendingLength_ += take;
    bytes += take;
    length -= take;
    if (pendingLength_ < 64) return;
    hashBlocks(pending_, 1);
    pendingLength_ = 0;
  }
  // Whole blocks straight from the caller's buffer.
  const size_t wholeBlocks = length / 64;
  if (wholeBlocks != 0) hashBlocks(bytes, wholeBlocks);
  pendingLength_ = length % 64;
  if (pendingLength_ != 0) std::memcpy(pending_, bytes + wholeBlocks * 64, pendingLength_);
}

FileDigestResult FileDigests::finish() {
  FileDigestResult result;
  md5FinishText(md5State_, pending_, pendingLength_, length_, result.md5);
  if (withSha256_) result.sha256 = sha256Finish(sha256State_, pending_, pendingLength_, length_);
  start();
  return result;
}

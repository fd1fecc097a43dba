// Hashes one large in-memory buffer with velmorin's digests and prints the throughput.
//   --digest md5              MD5 (digestText in one call, or DigestStream in pieces)
//   --digest sha256           SHA-256 (Sha256)
//   --digest md5,sha256       both, one after the other on each piece
//   --digest file             both through FileDigests, as the installer computes them
//                             (stitched into one pass where the processor has SHA
//                             instructions)
//   --digest bcrypt-sha256    SHA-256 by Windows' BCrypt, the peer (Windows build only)
// With --pieces KIB the buffer goes in pieces of that size, as a file is read. With
// --write FILE it first stores the same bytes in FILE, so that a script can time other
// programs on identical data (see digest.sh). Prints one line:
//   velmorin <digest text(s)> <MB/s> ...
#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "crypto/sha256.h"
#include "crypto/sha256_blocks.h"
#include "download/file_digests.h"
#include "download/md5_digest.h"

#ifdef _WIN32
#include <windows.h>

#include <bcrypt.h>
#endif

namespace {

#ifdef _WIN32
std::string bcryptSha256(const std::vector<unsigned char>& buffer, size_t piece) {
  BCRYPT_ALG_HANDLE algorithm = nullptr;
  BCRYPT_HASH_HANDLE hash = nullptr;
  Sha256Digest digest{};
  if (BCryptOpenAlgorithmProvider(&algorithm, BCRYPT_SHA256_ALGORITHM, nullptr, 0) != 0 ||
      BCryptCreateHash(algorithm, &hash, nullptr, 0, nullptr, 0, 0) != 0)
    return "bcrypt-unavailable";
  for (size_t at = 0; at < buffer.size(); at += piece)
    BCryptHashData(hash, const_cast<unsigned char*>(buffer.data() + at),
                   static_cast<ULONG>(std::min(piece, buffer.size() - at)), 0);
  BCryptFinishHash(hash, digest.data(), 32, 0);
  BCryptDestroyHash(hash);
  BCryptCloseAlgorithmProvider(algorithm, 0);
  return sha256Text(digest);
}
#endif

// Deterministic, incompressible-looking filler (xorshift64*), the same on every run.
void fill(std::vector<unsigned char>& buffer) {
  uint64_t x = 0x9e3779b97f4a7c15ull;
  for (size_t i = 0; i + 8 <= buffer.size(); i += 8) {
    x ^= x >> 12;
    x ^= x << 25;
    x ^= x >> 27;
    const uint64_t word = x * 0x2545f4914f6cdd1dull;
    std::memcpy(&buffer[i], &word, 8);
  }
}

// One pass over the buffer; returns the digest texts it made, joined by a comma.
std::string digestOnce(const std::vector<unsigned char>& buffer, const std::string& kind, size_t piece) {
#ifdef _WIN32
  if (kind == "bcrypt-sha256") return bcryptSha256(buffer, piece);
#endif
  char md5[33];
  if (kind == "md5" && piece == buffer.size()) {
    digestText(buffer.data(), static_cast<uint32_t>(buffer.size()), md5);
    return md5;
  }
  DigestStream md5Stream;
  Sha256 sha;
  FileDigests both(true);
  for (size_t at = 0; at < buffer.size(); at += piece) {
    const size_t length = std::min(piece, buffer.size() - at);
    if (kind == "file") {
      both.update(buffer.data() + at, length);
      continue;
    }
    if (kind != "sha256") md5Stream.add(buffer.data() + at, length);
    if (kind != "md5") sha.update(buffer.data() + at, length);
  }
  if (kind == "file") {
    const FileDigestResult result = both.finish();
    return std::string(result.md5) + "," + sha256Text(result.sha256);
  }
  if (kind == "sha256") return sha256Text(sha.finish());
  md5Stream.finish(md5);
  return kind == "md5" ? std::string(md5) : std::string(md5) + "," + sha256Text(sha.finish());
}

}  // namespace

int main(int argc, char** argv) {
  size_t mebibytes = 256;
  int rounds = 5;
  const char* writePath = nullptr;
  size_t pieceBytes = 0;
  std::string kind = "md5";
  for (int i = 1; i < argc; ++i) {
    if (!std::strcmp(argv[i], "--write") && i + 1 < argc) writePath = argv[++i];
    else if (!std::strcmp(argv[i], "--mib") && i + 1 < argc) mebibytes = std::strtoul(argv[++i], nullptr, 10);
    else if (!std::strcmp(argv[i], "--rounds") && i + 1 < argc) rounds = std::atoi(argv[++i]);
    else if (!std::strcmp(argv[i], "--pieces") && i + 1 < argc) pieceBytes = std::strtoul(argv[++i], nullptr, 10) << 10;
    else if (!std::strcmp(argv[i], "--digest") && i + 1 < argc) kind = argv[++i];
    else {
      std::fprintf(stderr,
                   "usage: digest_bench [--digest md5|sha256|md5,sha256|file|bcrypt-sha256] [--mib N] [--rounds N] "
                   "[--pieces KIB] [--write FILE]\n");
      return 2;
    }
  }
  if (kind != "md5" && kind != "sha256" && kind != "md5,sha256" && kind != "file" && kind != "bcrypt-sha256") {
    std::fprintf(stderr, "unknown digest %s\n", kind.c_str());
    return 2;
  }

  std::vector<unsigned char> buffer(mebibytes << 20);
  fill(buffer);
  if (writePath) {
    FILE* file = std::fopen(writePath, "wb");
    if (!file || std::fwrite(buffer.data(), 1, buffer.size(), file) != buffer.size() || std::fclose(file)) {
      std::fprintf(stderr, "cannot write %s\n", writePath);
      return 1;
    }
  }
  if (pieceBytes == 0) pieceBytes = buffer.size();

  std::string digests;
  double best = 1e30;
  for (int round = 0; round < rounds; ++round) {
    const auto start = std::chrono::steady_clock::now();
    digests = digestOnce(buffer, kind, pieceBytes);
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    if (took.count() < best) best = took.count();
  }
  const double megabytes = double(buffer.size()) / 1e6;
  std::printf("velmorin %s %.1f MB/s (%s, best of %d, %.1f MB, SHA instructions %s)\n", digests.c_str(),
              megabytes / best, kind.c_str(), rounds, megabytes, sha256HardwareAvailable() ? "yes" : "no");
  return 0;
}

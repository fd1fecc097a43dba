// Hashes one large in-memory buffer with velmorin's MD5 and prints the throughput.
// With --pieces KIB it feeds the buffer to DigestStream in pieces of that size, as
// the manifest builder does when it reads a file. With --write FILE it first stores the same bytes in FILE, so that a script can
// time other MD5 programs on identical data (see digest.sh).
#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "download/md5_digest.h"

namespace {

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

}  // namespace

int main(int argc, char** argv) {
  size_t mebibytes = 256;
  int rounds = 5;
  const char* writePath = nullptr;
  size_t pieceBytes = 0;
  for (int i = 1; i < argc; ++i) {
    if (!std::strcmp(argv[i], "--write") && i + 1 < argc) writePath = argv[++i];
    else if (!std::strcmp(argv[i], "--mib") && i + 1 < argc) mebibytes = std::strtoul(argv[++i], nullptr, 10);
    else if (!std::strcmp(argv[i], "--rounds") && i + 1 < argc) rounds = std::atoi(argv[++i]);
    else if (!std::strcmp(argv[i], "--pieces") && i + 1 < argc) pieceBytes = std::strtoul(argv[++i], nullptr, 10) << 10;
    else {
      std::fprintf(stderr, "usage: digest_bench [--mib N] [--rounds N] [--pieces KIB] [--write FILE]\n");
      return 2;
    }
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

  char digest[33] = {};
  double best = 1e30;
  for (int round = 0; round < rounds; ++round) {
    const auto start = std::chrono::steady_clock::now();
    if (pieceBytes == 0) {
      digestText(buffer.data(), static_cast<uint32_t>(buffer.size()), digest);
    } else {
      DigestStream stream;
      for (size_t at = 0; at < buffer.size(); at += pieceBytes)
        stream.add(buffer.data() + at, std::min(pieceBytes, buffer.size() - at));
      stream.finish(digest);
    }
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    if (took.count() < best) best = took.count();
  }
  const double megabytes = double(buffer.size()) / 1e6;
  std::printf("velmorin %s %.1f MB/s (best of %d, %.1f MB)\n", digest, megabytes / best, rounds, megabytes);
  return 0;
}

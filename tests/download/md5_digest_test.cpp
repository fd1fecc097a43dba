#include "download/md5_digest.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "download/md5_reference.h"

#ifndef _WIN32
#include <unistd.h>

#include <cstdlib>
#endif

namespace {

std::string digestOf(const void* data, size_t length) {
  char out[33];
  digestText(data, static_cast<uint32_t>(length), out);
  return std::string(out);
}

std::string digestOf(const std::string& text) { return digestOf(text.data(), text.size()); }

// Bytes that differ from position to position and from run length to run length,
// so that a misplaced word or a wrong tail copy changes the digest.
std::vector<unsigned char> patternBytes(size_t length, uint32_t seed) {
  std::vector<unsigned char> bytes(length);
  uint32_t x = seed * 2654435761u + 1;
  for (size_t i = 0; i < length; ++i) {
    x = x * 1664525u + 1013904223u;
    bytes[i] = static_cast<unsigned char>(x >> 24);
  }
  return bytes;
}

#ifndef _WIN32
// Runs coreutils md5sum over files of the given contents in one call and returns
// the digests in order.
std::vector<std::string> md5sumOf(const std::vector<std::vector<unsigned char>>& contents) {
  char dir[] = "/tmp/velmorin-md5-XXXXXX";
  if (!mkdtemp(dir)) return {};
  std::string command = "md5sum";
  std::vector<std::string> paths;
  for (size_t i = 0; i < contents.size(); ++i) {
    paths.push_back(std::string(dir) + "/" + std::to_string(i));
    FILE* file = std::fopen(paths.back().c_str(), "wb");
    if (!file) return {};
    if (!contents[i].empty()) std::fwrite(contents[i].data(), 1, contents[i].size(), file);
    std::fclose(file);
    command += " " + paths.back();
  }
  std::vector<std::string> digests;
  FILE* pipe = popen(command.c_str(), "r");
  char line[4096];
  while (pipe && std::fgets(line, sizeof line, pipe)) digests.push_back(std::string(line, 32));
  if (pipe) pclose(pipe);
  for (const std::string& path : paths) std::remove(path.c_str());
  rmdir(dir);
  return digests;
}
#endif

}  // namespace

TEST(Md5Digest, Rfc1321TestSuite) {
  EXPECT_EQ("d41d8cd98f00b204e9800998ecf8427e", digestOf(""));
  EXPECT_EQ("0cc175b9c0f1b6a831c399e269772661", digestOf("a"));
  EXPECT_EQ("900150983cd24fb0d6963f7d28e17f72", digestOf("abc"));
  EXPECT_EQ("f96b697d7cb7938d525a2f31aaf161d0", digestOf("message digest"));
  EXPECT_EQ("c3fcd3d76192e4007dfb496cca67e13b", digestOf("abcdefghijklmnopqrstuvwxyz"));
  EXPECT_EQ("d174ab98d277d9f5a5611c2c9f419d9f",
            digestOf("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789"));
  EXPECT_EQ("57edf4a22be3c955ac49da2e2107b67a",
            digestOf("1234567890123456789012345678901234567890123456789012345678901234567890"
                     "1234567890"));
}

TEST(Md5Digest, EmptyInputNeedsNoReadableBuffer) {
  EXPECT_EQ("d41d8cd98f00b204e9800998ecf8427e", digestOf(nullptr, 0));
}

TEST(Md5Digest, TextIsLowerCaseHexWithTerminatorAndNothingBeyond) {
  char out[40];
  std::memset(out, '#', sizeof out);
  const std::string data = "The quick brown fox jumps over the lazy dog";
  digestText(data.data(), static_cast<uint32_t>(data.size()), out);
  EXPECT_EQ(std::string("9e107d9d372bb6826bd81d3542a419d6"), std::string(out));
  EXPECT_EQ('\0', out[32]);
  for (size_t i = 33; i < sizeof out; ++i) EXPECT_EQ('#', out[i]) << "wrote past the digest at " << i;
  for (int i = 0; i < 32; ++i) EXPECT_TRUE((out[i] >= '0' && out[i] <= '9') || (out[i] >= 'a' && out[i] <= 'f'));
}

TEST(Md5Digest, LeadingZeroDigitsAreWritten) {
  // The digest of "jk8ssl" begins with four zero bytes.
  EXPECT_EQ("0000000018e6137ac2caab16074784a6", digestOf("jk8ssl"));
}

TEST(Md5Digest, EveryLengthAcrossThePaddingBoundariesMatchesTheReference) {
  for (size_t length = 0; length <= 200; ++length) {
    const std::vector<unsigned char> bytes = patternBytes(length, static_cast<uint32_t>(length));
    EXPECT_EQ(referenceMd5Hex(bytes.data(), bytes.size()), digestOf(bytes.data(), bytes.size()))
        << "length " << length;
  }
}

TEST(Md5Digest, UnalignedInputGivesTheSameDigest) {
  const std::vector<unsigned char> bytes = patternBytes(1000 + 8, 7);
  const std::string expected = referenceMd5Hex(bytes.data(), 1000);
  for (size_t offset = 1; offset < 8; ++offset) {
    std::vector<unsigned char> shifted(offset + 1000);
    std::memcpy(shifted.data() + offset, bytes.data(), 1000);
    EXPECT_EQ(expected, digestOf(shifted.data() + offset, 1000)) << "offset " << offset;
  }
}

TEST(Md5Digest, LargeBufferMatchesTheReference) {
  const std::vector<unsigned char> bytes = patternBytes((8u << 20) + 37, 99);
  EXPECT_EQ(referenceMd5Hex(bytes.data(), bytes.size()), digestOf(bytes.data(), bytes.size()));
}

#ifndef _WIN32
TEST(Md5Digest, EveryLengthUpTo200MatchesCoreutilsMd5sum) {
  std::vector<std::vector<unsigned char>> contents;
  for (size_t length = 0; length <= 200; ++length)
    contents.push_back(patternBytes(length, static_cast<uint32_t>(length) + 1000));
  const std::vector<std::string> expected = md5sumOf(contents);
  ASSERT_EQ(contents.size(), expected.size()) << "md5sum did not answer for every file";
  for (size_t length = 0; length <= 200; ++length)
    EXPECT_EQ(expected[length], digestOf(contents[length].data(), length)) << "length " << length;
}

TEST(Md5Digest, BuffersOfTensOfMegabytesMatchCoreutilsMd5sum) {
  std::vector<std::vector<unsigned char>> contents;
  contents.push_back(patternBytes(24u << 20, 1));         // whole blocks only
  contents.push_back(patternBytes((17u << 20) + 55, 2));  // tail fits the length block
  contents.push_back(patternBytes((9u << 20) + 61, 3));   // tail needs an extra block
  contents.push_back(std::vector<unsigned char>(12u << 20, 0xff));
  const std::vector<std::string> expected = md5sumOf(contents);
  ASSERT_EQ(contents.size(), expected.size());
  for (size_t i = 0; i < contents.size(); ++i)
    EXPECT_EQ(expected[i], digestOf(contents[i].data(), contents[i].size())) << "buffer " << i;
}
#endif

// A stream fed in pieces must give digestText's text for the joined bytes, whatever
// the cuts: inside a block, on a block edge, across several blocks, empty pieces.
TEST(Md5Digest, StreamInPiecesMatchesTheOneShotDigest) {
  const std::vector<unsigned char> bytes = patternBytes(64 * 5 + 23, 5);
  for (size_t piece : {size_t(1), size_t(7), size_t(63), size_t(64), size_t(65), size_t(130), size_t(1000)}) {
    for (size_t total : {size_t(0), size_t(55), size_t(56), size_t(64), size_t(119), bytes.size()}) {
      DigestStream stream;
      stream.add(nullptr, 0);
      for (size_t at = 0; at < total; at += piece) {
        stream.add(bytes.data() + at, at + piece < total ? piece : total - at);
        stream.add(bytes.data(), 0);
      }
      char streamed[33];
      stream.finish(streamed);
      EXPECT_EQ(digestOf(bytes.data(), total), std::string(streamed)) << "pieces of " << piece << ", " << total << " bytes";
    }
  }
}

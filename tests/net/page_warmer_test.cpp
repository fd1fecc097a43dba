// The page warmer beside a filling thread: every byte the filler writes stays as
// written, whatever the two threads' speeds, and stopping is always safe.
#include "net/page_warmer.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

// Fills the block in `chunk`-byte writes of a non-zero pattern, claiming each first.
void fill(PageWarmer& warmer, char* block, size_t size, size_t chunk) {
  for (size_t at = 0; at < size; at += chunk) {
    size_t n = chunk < size - at ? chunk : size - at;
    warmer.claim(at, n);
    for (size_t i = 0; i < n; ++i) block[at + i] = static_cast<char>(1 + (at + i) % 251);
  }
}

size_t firstWrongByte(const char* block, size_t size) {
  for (size_t i = 0; i < size; ++i)
    if (block[i] != static_cast<char>(1 + i % 251)) return i;
  return size;
}

TEST(PageWarmer, FillerBytesSurviveAtEverySpeed) {
  const size_t size = 8 * PageWarmer::kSegment + 12345;
  for (size_t chunk : {size_t{100}, size_t{4096}, size_t{65536}, size_t{1} << 20}) {
    char* block = static_cast<char*>(std::malloc(size));
    PageWarmer warmer;
    ASSERT_TRUE(warmer.start(block, size));
    fill(warmer, block, size, chunk);
    warmer.stop();
    EXPECT_EQ(size, firstWrongByte(block, size)) << chunk;
    std::free(block);
  }
}

TEST(PageWarmer, FillerStartingLateStillKeepsItsBytes) {
  // The warmer gets a head start and touches most segments before the filler comes.
  const size_t size = 16 * PageWarmer::kSegment;
  char* block = static_cast<char*>(std::malloc(size));
  PageWarmer warmer;
  ASSERT_TRUE(warmer.start(block, size));
  std::vector<char> spin(1 << 20, 1);  // some work before filling
  volatile int sum = 0;
  for (char c : spin) sum = sum + c;
  fill(warmer, block, size, 65536);
  warmer.stop();
  EXPECT_EQ(size, firstWrongByte(block, size));
  std::free(block);
}

TEST(PageWarmer, ClaimsOutsideTheBlockAndAfterStopAreHarmless) {
  const size_t size = 3 * PageWarmer::kSegment;
  char* block = static_cast<char*>(std::malloc(size));
  PageWarmer warmer;
  EXPECT_FALSE(warmer.start(nullptr, size));
  EXPECT_FALSE(warmer.start(block, 0));
  ASSERT_TRUE(warmer.start(block, size));
  EXPECT_TRUE(warmer.running());
  warmer.claim(size, 100);
  warmer.claim(size - 1, 1000);
  warmer.claim(0, 0);
  warmer.stop();
  EXPECT_FALSE(warmer.running());
  warmer.claim(0, size);
  warmer.stop();
  // Started again on the same block, then left to the destructor.
  EXPECT_TRUE(warmer.start(block, size));
  fill(warmer, block, size, 70000);
  warmer.stop();
  EXPECT_EQ(size, firstWrongByte(block, size));
  std::free(block);
}

}  // namespace

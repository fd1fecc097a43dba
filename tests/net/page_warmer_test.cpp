// The page warmer beside a filling thread: every byte the filler writes stays as
// written, whatever the two threads' speeds, and stopping is always safe.
#include "net/page_warmer.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <thread>
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
    ASSERT_TRUE(warmer.start(block, size, 2 * PageWarmer::kSegment));
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
  ASSERT_TRUE(warmer.start(block, size, size));
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
  EXPECT_FALSE(warmer.start(nullptr, size, size));
  EXPECT_FALSE(warmer.start(block, 0, size));
  ASSERT_TRUE(warmer.start(block, size, size));
  EXPECT_TRUE(warmer.running());
  warmer.claim(size, 100);
  warmer.claim(size - 1, 1000);
  warmer.claim(0, 0);
  warmer.stop();
  EXPECT_FALSE(warmer.running());
  warmer.claim(0, size);
  warmer.stop();
  // Started again on the same block, then left to the destructor.
  EXPECT_TRUE(warmer.start(block, size, 0));  // waits for the filler's claims
  fill(warmer, block, size, 70000);
  warmer.stop();
  EXPECT_EQ(size, firstWrongByte(block, size));
  std::free(block);
}

// The warmer zeroes the first byte of every page it touches.
std::vector<bool> touchedSegments(const char* block, size_t segments) {
  std::vector<bool> touched;
  for (size_t i = 0; i < segments; ++i) touched.push_back(block[i * PageWarmer::kSegment] == 0);
  return touched;
}

TEST(PageWarmer, StaysABoundedDistanceAheadOfTheClaims) {
  const size_t segments = 12;
  std::vector<char> block(segments * PageWarmer::kSegment, '\xAB');
  PageWarmer warmer;
  ASSERT_TRUE(warmer.start(block.data(), block.size(), 2 * PageWarmer::kSegment));
  const auto waitFor = [&](const std::vector<bool>& expected) {
    for (int i = 0; i < 200 && touchedSegments(block.data(), segments) != expected; ++i)
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    std::this_thread::sleep_for(std::chrono::milliseconds(50));  // and no further
    EXPECT_EQ(expected, touchedSegments(block.data(), segments));
  };
  waitFor({1, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0});
  // Claimed segments are the filler's; the warmer goes on two segments past them.
  warmer.claim(0, 4 * PageWarmer::kSegment);
  waitFor({1, 1, 0, 0, 1, 1, 0, 0, 0, 0, 0, 0});
  warmer.stop();
}

}  // namespace

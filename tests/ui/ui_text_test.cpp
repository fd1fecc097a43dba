// The activity block's travel, the documents' chunks, the window title and the
// choice of installation mode.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/install_mode.h"
#include "ui/activity_block.h"
#include "ui/document_stream.h"
#include "ui/window_titles.h"

namespace {
TEST(ActivityBlock, SweepsFromFourAndWrapsAtTheRemainder) {
  // Client width 117: the block's left edge goes 4, 8, ... 88, then 7.
  std::vector<int> lefts;
  for (int steps = 0; steps <= 84; steps += 4) lefts.push_back(activityBlockLeft(steps, 117));
  ASSERT_EQ(lefts.size(), 22u);
  EXPECT_EQ(lefts.front(), 4);
  EXPECT_EQ(lefts.back(), 88);
  for (size_t i = 1; i < lefts.size(); ++i) EXPECT_EQ(lefts[i], lefts[i - 1] + 4);
  EXPECT_EQ(activityBlockLeft(88, 117), 7);  // the tick after the one that gave 88
  EXPECT_EQ(activityBlockLeft(92, 117), 11);
}

TEST(ActivityBlock, NarrowBoxesKeepTheBlockAtTheLeftEdge) {
  for (int width : {33 - 1, 32, 10, 1, 0, -5}) {
    EXPECT_EQ(activityBlockLeft(0, width), 4) << width;
    EXPECT_EQ(activityBlockLeft(400, width), 4) << width;
  }
  EXPECT_EQ(activityBlockLeft(400, 33), 4);  // room of one pixel: every step lands at 4
}

TEST(DocumentStream, DeliversTheDocumentInRequestedChunksAndThenNothing) {
  std::string document(10000, 'x');
  for (size_t i = 0; i < document.size(); ++i) document[i] = static_cast<char>('a' + i % 26);
  DocumentStream stream{document.data(), static_cast<uint32_t>(document.size()), 0};
  std::string received;
  std::vector<int> chunks;
  char buffer[4096];
  for (;;) {
    int32_t got = stream.read(buffer, sizeof buffer);
    chunks.push_back(got);
    if (got == 0) break;
    received.append(buffer, static_cast<size_t>(got));
  }
  EXPECT_EQ(received, document);
  EXPECT_EQ(chunks, (std::vector<int>{4096, 4096, 1808, 0}));
  EXPECT_EQ(stream.read(buffer, sizeof buffer), 0);  // stays at the end
  stream.offset = 0;                                  // a new stream-in starts over
  EXPECT_EQ(stream.read(buffer, 3), 3);
  EXPECT_EQ(std::string(buffer, 3), "abc");
}

TEST(DocumentStream, AMissingDocumentIsEmpty) {
  DocumentStream stream;
  char buffer[16];
  EXPECT_EQ(stream.read(buffer, sizeof buffer), 0);
  const char text[] = "abc";
  DocumentStream stream2{text, 3, 0};
  EXPECT_EQ(stream2.read(buffer, 0), 0);
  EXPECT_EQ(stream2.read(buffer, -4), 0);
  EXPECT_EQ(stream2.offset, 0u);
}

TEST(WindowTitles, LicenceTitleNamesProductAndBuild) {
  char title[260];
  formatLicenceTitle(title, sizeof title, "Moor-Z2", "Dec 22 2014", "17:59:51");
  EXPECT_STREQ(title, "Installation of program Moor-Z2 Build Dec 22 2014 17:59:51");
}

TEST(WindowTitles, AVeryLongProductNameIsCut) {
  char title[261];
  title[260] = '#';  // guard byte after the 260-byte title
  std::string product(255, 'P');
  formatLicenceTitle(title, 260, product.c_str(), "Dec 22 2014", "17:59:51");
  EXPECT_EQ(std::string(title).size(), 259u);
  EXPECT_EQ(std::string(title).rfind("Installation of program PPP", 0), 0u);
  EXPECT_EQ(title[260], '#');
}

TEST(InstallMode, FirstFlagSetWins) {
  EXPECT_EQ(chooseInstallMode(true, false, false), 0);
  EXPECT_EQ(chooseInstallMode(false, true, false), 1);
  EXPECT_EQ(chooseInstallMode(false, false, true), 2);
  EXPECT_EQ(chooseInstallMode(false, true, true), 1);
  EXPECT_EQ(chooseInstallMode(true, true, true), 0);
  EXPECT_EQ(chooseInstallMode(false, false, false), -1);
}
}  // namespace

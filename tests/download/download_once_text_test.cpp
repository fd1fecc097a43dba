// The fixed buffers of a download attempt: nothing is written past them, and the
// results say when a text did not fit.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "download/download_once_text.h"

namespace {

TEST(DownloadText, CopiesTurnBackslashesIntoSlashes) {
  char out[256];
  EXPECT_TRUE(copyWithSlashes(out, sizeof(out), "host\\install\\game"));
  EXPECT_STREQ("host/install/game", out);
  EXPECT_TRUE(joinAddress(out, sizeof(out), "host\\a", "b\\c.txt"));
  EXPECT_STREQ("host/a/b/c.txt", out);
}

TEST(DownloadText, CopyFitsUpTo255CharactersAndCutsBeyond) {
  char out[257];
  std::memset(out, '#', sizeof(out));
  EXPECT_TRUE(copyWithSlashes(out, 256, std::string(255, 'a').c_str()));
  EXPECT_EQ(255u, std::strlen(out));
  EXPECT_FALSE(copyWithSlashes(out, 256, std::string(256, '\\').c_str()));
  EXPECT_EQ(std::string(255, '/'), out);
  EXPECT_EQ('#', out[256]);  // the byte after the buffer is untouched
}

TEST(DownloadText, JoinedAddressMustFitWithItsSlash) {
  char out[257];
  std::memset(out, '#', sizeof(out));
  std::string base(200, 'b');
  EXPECT_TRUE(joinAddress(out, 256, base.c_str(), std::string(54, 'n').c_str()));
  EXPECT_EQ(255u, std::strlen(out));
  EXPECT_FALSE(joinAddress(out, 256, base.c_str(), std::string(55, 'n').c_str()));
  EXPECT_EQ(255u, std::strlen(out));
  EXPECT_EQ('#', out[256]);
}

TEST(DownloadText, QuestionHolds215InputCharactersAndNoMore) {
  char out[257];
  std::memset(out, '#', sizeof(out));
  std::string base(100, 'b');
  std::string name(115, 'n');
  EXPECT_TRUE(formatRetryQuestion(out, 256, base.c_str(), name.c_str()));
  EXPECT_EQ("Failure downloading " + base + "//" + name + " , retry download\n", out);
  EXPECT_EQ(255u, std::strlen(out));

  name += 'n';
  EXPECT_FALSE(formatRetryQuestion(out, 256, base.c_str(), name.c_str()));
  EXPECT_EQ(255u, std::strlen(out));
  EXPECT_EQ(("Failure downloading " + base + "//" + name + " , retry download\n").substr(0, 255),
            out);
  EXPECT_EQ('#', out[256]);
}

}  // namespace

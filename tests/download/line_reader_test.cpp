#include "download/line_reader.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

struct Line {
  std::string text;
  bool terminated;
};

// Reads every line until the reader reports the end, plus the end call itself.
std::vector<Line> readAll(const std::string& text) {
  std::vector<Line> lines;
  int cursor = -1;
  char out[64];
  for (int guard = 0; guard < 100; ++guard) {
    std::strcpy(out, "untouched");
    bool terminated = readLine(text.data(), &cursor, static_cast<int>(text.size()), out, sizeof out);
    lines.push_back({out, terminated});
    if (!terminated) break;
  }
  return lines;
}

TEST(LineReader, BlankLineBetweenTwoCrLfPairs) {
  std::string text = "A\r\n\r\nB";
  int cursor = -1;
  char out[16];
  EXPECT_TRUE(readLine(text.data(), &cursor, 6, out, sizeof out));
  EXPECT_STREQ(out, "A");
  EXPECT_EQ(cursor, 2);
  EXPECT_TRUE(readLine(text.data(), &cursor, 6, out, sizeof out));
  EXPECT_STREQ(out, "");
  EXPECT_FALSE(readLine(text.data(), &cursor, 6, out, sizeof out));
  EXPECT_STREQ(out, "B");
  // Exhausted: false, and the buffer keeps what it held.
  std::strcpy(out, "kept");
  EXPECT_FALSE(readLine(text.data(), &cursor, 6, out, sizeof out));
  EXPECT_STREQ(out, "kept");
  EXPECT_FALSE(readLine(text.data(), &cursor, 6, out, sizeof out));
  EXPECT_STREQ(out, "kept");
}

TEST(LineReader, EveryPairOfTerminatorCharactersIsOneTerminator) {
  for (const char* pair : {"\n\r", "\r\r", "\n\n", "\r\n"}) {
    auto lines = readAll(std::string("A") + pair + "B");
    ASSERT_EQ(lines.size(), 2u) << "pair " << int(pair[0]) << "," << int(pair[1]);
    EXPECT_EQ(lines[0].text, "A");
    EXPECT_TRUE(lines[0].terminated);
    EXPECT_EQ(lines[1].text, "B");
    EXPECT_FALSE(lines[1].terminated);
  }
}

TEST(LineReader, AtMostTwoTerminatorCharactersPerLine) {
  auto lines = readAll("A\r\n\nB");
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[0].text, "A");
  EXPECT_EQ(lines[1].text, "");
  EXPECT_TRUE(lines[1].terminated);
  EXPECT_EQ(lines[2].text, "B");
  EXPECT_FALSE(lines[2].terminated);

  // Three line feeds: one pair, then one alone.
  lines = readAll("A\n\n\nB");
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[1].text, "");
  EXPECT_EQ(lines[2].text, "B");
}

TEST(LineReader, TextEndingInCrLfGivesOneEmptyLastCall) {
  auto lines = readAll("one\r\ntwo\r\n");
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[0].text, "one");
  EXPECT_EQ(lines[1].text, "two");
  EXPECT_TRUE(lines[1].terminated);
  EXPECT_EQ(lines[2].text, "");
  EXPECT_FALSE(lines[2].terminated);
}

TEST(LineReader, EmptyTextAndTerminatorAtTheVeryEnd) {
  auto lines = readAll("");
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0].text, "");
  EXPECT_FALSE(lines[0].terminated);

  // A lone CR as the last character: terminated, and nothing beyond is looked at.
  lines = readAll("A\r");
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0].text, "A");
  EXPECT_TRUE(lines[0].terminated);
  EXPECT_EQ(lines[1].text, "");
  EXPECT_FALSE(lines[1].terminated);
}

TEST(LineReader, NeverReadsBeyondTheLength) {
  // The byte after the length is a plain character: it must not join the line.
  const char text[] = "AB\r\nCDX";
  int cursor = -1;
  char out[16];
  EXPECT_TRUE(readLine(text, &cursor, 6, out, sizeof out));
  EXPECT_FALSE(readLine(text, &cursor, 6, out, sizeof out));
  EXPECT_STREQ(out, "CD");
  EXPECT_EQ(cursor, 6);

  // The byte after the length is a terminator: it must not be taken as the second
  // half of a pair (the cursor would then stand past the end).
  const char crText[] = "AB\r\n";
  cursor = -1;
  EXPECT_TRUE(readLine(crText, &cursor, 3, out, sizeof out));
  EXPECT_STREQ(out, "AB");
  EXPECT_EQ(cursor, 2);

  // A heap block of exactly the length, with no terminating zero: the sanitizers
  // report any read past it.
  const std::string body = "line one\r\nline two";
  std::unique_ptr<char[]> exact(new char[body.size()]);
  std::memcpy(exact.get(), body.data(), body.size());
  cursor = -1;
  int n = static_cast<int>(body.size());
  EXPECT_TRUE(readLine(exact.get(), &cursor, n, out, sizeof out));
  EXPECT_FALSE(readLine(exact.get(), &cursor, n, out, sizeof out));
  EXPECT_STREQ(out, "line two");
  EXPECT_FALSE(readLine(exact.get(), &cursor, n, out, sizeof out));
}

TEST(LineReader, LongLinesAreCutToTheFieldAndStillConsumed) {
  const std::string text = "ABCDEFGH\r\nIJ";
  int cursor = -1;
  char field[8];
  char guard[8];
  std::memset(field, '#', sizeof field);
  std::memset(guard, '#', sizeof guard);
  struct {
    char field[4];
    char after[4];
  } layout;
  std::memset(&layout, '#', sizeof layout);
  EXPECT_TRUE(readLine(text.data(), &cursor, static_cast<int>(text.size()), layout.field, 4));
  EXPECT_STREQ(layout.field, "ABC");
  EXPECT_EQ(std::memcmp(layout.after, "####", 4), 0) << "written past the field";
  // The rest of the long line was consumed with its terminator.
  EXPECT_FALSE(readLine(text.data(), &cursor, static_cast<int>(text.size()), layout.field, 4));
  EXPECT_STREQ(layout.field, "IJ");

  // A line exactly one shorter than the field fits whole.
  cursor = -1;
  EXPECT_TRUE(readLine("ABC\nD", &cursor, 5, field, 4));
  EXPECT_STREQ(field, "ABC");

  // A one-byte field only ever holds the zero; a zero-byte field is never written.
  cursor = -1;
  EXPECT_TRUE(readLine("ABC\nD", &cursor, 5, field, 1));
  EXPECT_EQ(field[0], '\0');
  cursor = -1;
  EXPECT_TRUE(readLine("ABC\nD", &cursor, 5, guard, 0));
  EXPECT_EQ(guard[0], '#');
  EXPECT_EQ(cursor, 3);
}

TEST(LineReader, CursorOutsideTheTextIsRefused) {
  char out[8] = "kept";
  int cursor = -5;
  EXPECT_FALSE(readLine("ABC", &cursor, 3, out, sizeof out));
  EXPECT_STREQ(out, "kept");
  cursor = 10;
  EXPECT_FALSE(readLine("ABC", &cursor, 3, out, sizeof out));
  EXPECT_STREQ(out, "kept");
}

}  // namespace

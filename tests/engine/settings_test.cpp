#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <string>
#include <vector>

#include "engine/settings_entry.h"
#include "engine/settings_lookup.h"
#include "engine/settings_reader.h"

namespace {

// Every line the reader yields, with the truth value of each call, until it reports the end.
struct ReadLine {
  std::string text;
  bool terminated;
};

std::vector<ReadLine> readAll(const std::string& bytes) {
  MemoryByteSource source(bytes);
  std::vector<ReadLine> lines;
  char line[kSettingsLineSize];
  for (;;) {
    const bool terminated = readSettingsLineFrom(source, line);
    lines.push_back({line, terminated});
    if (!terminated) return lines;
  }
}

std::vector<std::string> textsOf(const std::vector<ReadLine>& lines) {
  std::vector<std::string> texts;
  for (const ReadLine& line : lines) texts.push_back(line.text);
  return texts;
}

// Lists loaded by a test, given back when the test ends.
class LoadedLists {
 public:
  ~LoadedLists() {
    for (RecordNode* list : lists_) releaseSettingsList(list);
  }
  RecordNode* keep(RecordNode* list) {
    lists_.push_back(list);
    return list;
  }

 private:
  std::vector<RecordNode*> lists_;
};

class Settings : public ::testing::Test {
 protected:
  RecordNode* load(const std::string& bytes) {
    MemoryByteSource source(bytes);
    return loaded_.keep(loadSettingsFrom(source));
  }

 private:
  LoadedLists loaded_;
};

const SettingsEntry& entryAt(RecordNode* list, int index) {
  RecordNode* cursor = list;
  for (int i = 0; i < index; ++i) listNext(&cursor, true);
  return *static_cast<const SettingsEntry*>(listNext(&cursor, false));
}

}  // namespace

TEST(SettingsUpperCase, OnlyAsciiLettersChange) {
  char text[] = "abz AZ 09 _=-{} \xe9\xe0\xff`";
  upperCaseAscii(text);
  EXPECT_STREQ("ABZ AZ 09 _=-{} \xe9\xe0\xff`", text);
}

TEST(SettingsLineSplit, KeyUpperCasedValueAsWrittenAndUpperCased) {
  SettingsEntry entry;
  ASSERT_TRUE(parseSettingsLine("Name=Value x1", entry));
  EXPECT_STREQ("NAME", entry.key);
  EXPECT_STREQ("Value x1", entry.value);
  EXPECT_STREQ("VALUE X1", entry.valueUpper);
}

TEST(SettingsLineSplit, SplitsAtTheFirstEqualsSignAndKeepsBlanks) {
  SettingsEntry entry;
  ASSERT_TRUE(parseSettingsLine(" path = c:\\a=b ", entry));
  EXPECT_STREQ(" PATH ", entry.key);
  EXPECT_STREQ(" c:\\a=b ", entry.value);
  EXPECT_STREQ(" C:\\A=B ", entry.valueUpper);

  ASSERT_TRUE(parseSettingsLine("=only value", entry));
  EXPECT_STREQ("", entry.key);
  EXPECT_STREQ("only value", entry.value);
  ASSERT_TRUE(parseSettingsLine("key=", entry));
  EXPECT_STREQ("KEY", entry.key);
  EXPECT_STREQ("", entry.value);
  EXPECT_STREQ("", entry.valueUpper);
}

TEST(SettingsLineSplit, LineWithoutEqualsSignIsSkippedAndLeavesTheEntry) {
  SettingsEntry entry;
  std::memset(&entry, 'z', sizeof entry);
  EXPECT_FALSE(parseSettingsLine("no separator here", entry));
  EXPECT_FALSE(parseSettingsLine("", entry));
  EXPECT_EQ('z', entry.key[0]);
  EXPECT_EQ('z', entry.value[255]);
}

TEST(SettingsLineSplit, OverlongTextsAreCutToTheEntry) {
  SettingsEntry entry;
  const std::string key(400, 'k'), value(400, 'v');
  ASSERT_TRUE(parseSettingsLine((key + "=" + value).c_str(), entry));
  EXPECT_EQ(std::string(255, 'K'), entry.key);
  EXPECT_EQ(std::string(255, 'v'), entry.value);
  EXPECT_EQ(std::string(255, 'V'), entry.valueUpper);
}

TEST(SettingsLineReader, EachTerminatorEndsOneLine) {
  const std::vector<std::string> expected{"A=1", "B=2", "C=3", "D=4"};
  EXPECT_EQ(expected, textsOf(readAll("A=1\r\nB=2\r\nC=3\r\nD=4")));
  EXPECT_EQ(expected, textsOf(readAll("A=1\nB=2\nC=3\nD=4")));  // LF alone loses no byte
  EXPECT_EQ(expected, textsOf(readAll("A=1\rB=2\rC=3\rD=4")));  // CR alone loses no byte
  EXPECT_EQ(expected, textsOf(readAll("A=1\r\nB=2\nC=3\rD=4")));
}

TEST(SettingsLineReader, EmptyLinesAreLines) {
  const std::vector<std::string> expected{"A", "", "B", "", ""};
  EXPECT_EQ(expected, textsOf(readAll("A\r\n\r\nB\n\n")));
  EXPECT_EQ((std::vector<std::string>{"A", "", "B", ""}), textsOf(readAll("A\n\rB\r")));  // LF then CR: two ends
}

TEST(SettingsLineReader, EndWithoutTerminatorIsReportedWithTheCharactersRead) {
  std::vector<ReadLine> lines = readAll("KEY=tail");
  ASSERT_EQ(1u, lines.size());
  EXPECT_EQ("KEY=tail", lines[0].text);
  EXPECT_FALSE(lines[0].terminated);

  lines = readAll("KEY=v\r\n");
  ASSERT_EQ(2u, lines.size());
  EXPECT_TRUE(lines[0].terminated);
  EXPECT_EQ("", lines[1].text);
  EXPECT_FALSE(lines[1].terminated);

  lines = readAll("");
  ASSERT_EQ(1u, lines.size());
  EXPECT_EQ("", lines[0].text);
  EXPECT_FALSE(lines[0].terminated);

  lines = readAll("X\r");  // a CR as the very last byte still ends its line
  ASSERT_EQ(2u, lines.size());
  EXPECT_EQ("X", lines[0].text);
  EXPECT_TRUE(lines[0].terminated);
}

TEST(SettingsLineReader, LongLineIsCutTheNextLineStaysWhole) {
  const std::string longLine = "K=" + std::string(600, 'x');
  char line[kSettingsLineSize + 8];
  std::memset(line, '#', sizeof line);
  MemoryByteSource source(longLine + "\r\nNEXT=1\r\n");
  EXPECT_TRUE(readSettingsLineFrom(source, line));
  EXPECT_EQ(longLine.substr(0, 255), std::string(line));
  for (size_t i = kSettingsLineSize; i < sizeof line; ++i) ASSERT_EQ('#', line[i]) << "wrote past the line at " << i;
  EXPECT_TRUE(readSettingsLineFrom(source, line));
  EXPECT_STREQ("NEXT=1", line);
}

TEST(SettingsLineReader, LineOf255CharactersFitsExactly) {
  const std::string exact(255, 'e');
  const std::vector<ReadLine> lines = readAll(exact + "\n" + exact + "f");
  ASSERT_EQ(2u, lines.size());
  EXPECT_EQ(exact, lines[0].text);
  EXPECT_EQ(exact, lines[1].text);
}

TEST(SettingsLineReader, StopsRightAfterTheTerminator) {
  MemoryByteSource source("A=1\r\nB=2\rC=3\nD");
  char line[kSettingsLineSize];
  readSettingsLineFrom(source, line);
  EXPECT_EQ(5u, source.position());
  readSettingsLineFrom(source, line);
  EXPECT_EQ(9u, source.position());
  readSettingsLineFrom(source, line);
  EXPECT_EQ(13u, source.position());
}

TEST_F(Settings, LoadEntriesInFileOrderLinesWithoutEqualsSkipped) {
  RecordNode* list = load("Name=Value\r\n# comment\r\n\r\nCOUNT=12\r\nlast=Tail");
  ASSERT_EQ(3, listCount(list));
  EXPECT_STREQ("NAME", entryAt(list, 0).key);
  EXPECT_STREQ("Value", entryAt(list, 0).value);
  EXPECT_STREQ("COUNT", entryAt(list, 1).key);
  EXPECT_STREQ("LAST", entryAt(list, 2).key);  // the unterminated last line counts
  EXPECT_STREQ("Tail", entryAt(list, 2).value);
  EXPECT_STREQ("TAIL", entryAt(list, 2).valueUpper);
}

TEST_F(Settings, LoadTrailingTerminatorAddsNoEntry) {
  EXPECT_EQ(2, listCount(load("A=1\nB=2\n")));
  EXPECT_EQ(2, listCount(load("A=1\nB=2\n\n\n")));
  EXPECT_EQ(nullptr, load(""));
  EXPECT_EQ(nullptr, load("\r\n\r\nno pairs\r\n"));
}

TEST_F(Settings, LoadLfOnlyFileKeepsEveryFirstCharacter) {
  RecordNode* list = load("Alpha=1\nBeta=2\nGamma=3\n");
  ASSERT_EQ(3, listCount(list));
  EXPECT_STREQ("BETA", entryAt(list, 1).key);
  EXPECT_STREQ("GAMMA", entryAt(list, 2).key);
}

TEST_F(Settings, FindFlagChoosesUpperCasedOrWrittenValueAnyKeyCaseFindsIt) {
  RecordNode* list = load("NAME=Value\r\n");
  for (const char* key : {"name", "Name", "NAME", "nAmE"}) {
    EXPECT_STREQ("VALUE", findSetting(list, key, true)) << key;
    EXPECT_STREQ("Value", findSetting(list, key, false)) << key;
  }
}

TEST_F(Settings, FindResultPointsIntoTheEntryAndFirstMatchWins) {
  RecordNode* list = load("dup=first\r\nDUP=second\r\n");
  EXPECT_EQ(entryAt(list, 0).value, findSetting(list, "Dup", false));
  EXPECT_EQ(entryAt(list, 0).valueUpper, findSetting(list, "Dup", true));
}

TEST_F(Settings, FindKeyMustMatchWholly) {
  RecordNode* list = load("PATH=a\r\n PATH=b\r\n");
  EXPECT_STREQ("", findSetting(list, "PAT", false));
  EXPECT_STREQ("", findSetting(list, "PATHS", false));
  EXPECT_STREQ("b", findSetting(list, " path", false));
  EXPECT_STREQ("", findSetting(list, "\xe9", false));
}

TEST_F(Settings, FindMissingKeyEmptyListAndNoKeyGiveEmptyText) {
  RecordNode* list = load("A=1\r\n");
  EXPECT_STREQ("", findSetting(list, "B", true));
  EXPECT_STREQ("", findSetting(nullptr, "A", true));
  EXPECT_STREQ("", findSetting(list, nullptr, true));
}

TEST_F(Settings, FindKeysUpTo127CharactersAreLookedUpLongerOnesMatchNothing) {
  const std::string key127(127, 'k'), key128(128, 'k');
  RecordNode* list = load(key127 + "=short\r\n" + key128 + "=long\r\n");
  EXPECT_STREQ("short", findSetting(list, key127.c_str(), false));
  EXPECT_STREQ("", findSetting(list, key128.c_str(), false));
  EXPECT_STREQ("", findSetting(list, std::string(5000, 'k').c_str(), false));
}

TEST_F(Settings, NumberDecimalValueOfTheUpperCasedText) {
  RecordNode* list = load("COUNT=12\r\nneg= -7 apples\r\nword=abc\r\nbig=99999999999\r\nhex=0x10\r\nsmall=-99999999999\r\n");
  EXPECT_EQ(12, findSettingNumber(list, "count"));
  EXPECT_EQ(0, findSettingNumber(list, "missing"));
  EXPECT_EQ(-7, findSettingNumber(list, "NEG"));
  EXPECT_EQ(0, findSettingNumber(list, "word"));
  EXPECT_EQ(INT_MAX, findSettingNumber(list, "big"));
  EXPECT_EQ(INT_MIN, findSettingNumber(list, "small"));
  EXPECT_EQ(0, findSettingNumber(list, "hex"));
}

#include "download/manifest_parser.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <limits>
#include <memory>
#include <string>
#include <vector>

namespace {

const char kRoot[] = "C:\\users\\me\\Temp\\\\Quorvane\\Downloaded\\Moor-Z2";
const char kBase[] = "www.example.test/install/game/moorz2";
const std::string kDigest = "0123456789abcdef0123456789abcdef";

std::string fileEntry(const std::string& name, const std::string& digestAndSize,
                      const std::string& low = "0", const std::string& high = "0") {
  return name + "\r\n" + digestAndSize + "\r\n" + low + "\r\n" + high + "\r\n";
}

class Manifest : public ::testing::Test {
 protected:
  void TearDown() override { reset(); }

  void reset() {
    releaseManifestLists(files_, directories_);
    files_ = nullptr;
    directories_ = nullptr;
  }

  // Parses a heap copy of exactly the text's size (the sanitizers see any overread).
  ManifestStatus parse(const std::string& text, const char* root = kRoot) {
    std::unique_ptr<char[]> exact(new char[text.size() + 1]);
    std::memcpy(exact.get(), text.data(), text.size());
    refusal_ = {};
    return parseManifest(exact.get(), static_cast<int>(text.size()), root, kBase, &files_,
                         &directories_, &refusal_);
  }

  std::vector<FileRecord*> records() const {
    std::vector<FileRecord*> out;
    for (RecordNode* n = files_; n; n = n->next) out.push_back(static_cast<FileRecord*>(n->item));
    return out;
  }
  std::vector<std::string> directories() const {
    std::vector<std::string> out;
    for (RecordNode* n = directories_; n; n = n->next) out.push_back(static_cast<char*>(n->item));
    return out;
  }
  // Parses a manifest of one file entry and returns its record.
  FileRecord* onlyRecord(const std::string& digestAndSize, const std::string& low = "0",
                         const std::string& high = "0") {
    EXPECT_EQ(parse("OK\r\n" + fileEntry("f", digestAndSize, low, high)), ManifestStatus::ok);
    auto all = records();
    EXPECT_EQ(all.size(), 1u);
    return all.empty() ? nullptr : all[0];
  }
  void expectRefused(const std::string& text, const char* root = kRoot) {
    EXPECT_EQ(parse(text, root), ManifestStatus::invalidHeader) << text;
    EXPECT_EQ(files_, nullptr) << text;
    EXPECT_EQ(directories_, nullptr) << text;
  }

  RecordNode* files_ = nullptr;
  RecordNode* directories_ = nullptr;
  ManifestRefusal refusal_;
};

TEST_F(Manifest, DirectoryThenOneFile) {
  ASSERT_EQ(parse("OK\r\ndata\\\r\n" + fileEntry("data\\map.bin", kDigest + "|10240", "123", "456")),
            ManifestStatus::ok);
  EXPECT_EQ(directories(), std::vector<std::string>{"data\\"});
  auto all = records();
  ASSERT_EQ(all.size(), 1u);
  const FileRecord& r = *all[0];
  EXPECT_EQ(std::string(r.localPath), std::string(kRoot) + "\\data\\map.bin");
  EXPECT_STREQ(r.baseUrl, kBase);
  EXPECT_STREQ(r.name, "data\\map.bin");
  EXPECT_EQ(std::string(r.digest), kDigest);
  EXPECT_EQ(r.size, 10240);
  EXPECT_EQ(r.received, 0);
  EXPECT_EQ(r.index, 0);
  EXPECT_EQ(r.missing, 0);
  EXPECT_EQ(r.updateNeeded, 0);
  EXPECT_EQ(r.digestError, 0);
  EXPECT_EQ(r.lastWriteTime, (uint64_t{456} << 32) | 123);
}

TEST_F(Manifest, IndexesCountFileEntriesOnly) {
  ASSERT_EQ(parse("OK\r\ndir1\\\r\n" + fileEntry("a", "x|1") + "dir2\\\r\n" + fileEntry("b", "y|2")),
            ManifestStatus::ok);
  auto all = records();
  ASSERT_EQ(all.size(), 2u);
  EXPECT_STREQ(all[0]->name, "a");
  EXPECT_EQ(all[0]->index, 0);
  EXPECT_STREQ(all[1]->name, "b");
  EXPECT_EQ(all[1]->index, 1);
  EXPECT_EQ(directories(), (std::vector<std::string>{"dir1\\", "dir2\\"}));
}

TEST_F(Manifest, EntriesAreAppendedAfterWhatTheListsHold) {
  ASSERT_EQ(parse("OK\r\n" + fileEntry("first", "a|1")), ManifestStatus::ok);
  ASSERT_EQ(parse("OK\n" + fileEntry("second", "b|2") + "d\\\n"), ManifestStatus::ok);
  auto all = records();
  ASSERT_EQ(all.size(), 2u);
  EXPECT_STREQ(all[0]->name, "first");
  EXPECT_STREQ(all[1]->name, "second");
  EXPECT_EQ(all[1]->index, 0);  // each manifest counts from 0
  EXPECT_EQ(files_->last->item, all[1]);
  // A refused manifest leaves what was there untouched.
  EXPECT_EQ(parse("OK\r\n" + fileEntry("third", "c|3") + "..\\evil\r\n"), ManifestStatus::invalidHeader);
  EXPECT_EQ(records().size(), 2u);
  EXPECT_EQ(directories(), std::vector<std::string>{"d\\"});
}

TEST_F(Manifest, DigestAndSizeSplitAtTheFirstBar) {
  FileRecord* r = onlyRecord("abc|");
  ASSERT_NE(r, nullptr);
  EXPECT_STREQ(r->digest, "abc");
  EXPECT_EQ(r->size, 0);
  reset();

  r = onlyRecord("abc|12x");
  ASSERT_NE(r, nullptr);
  EXPECT_STREQ(r->digest, "abc");
  EXPECT_EQ(r->size, 12);
  reset();

  r = onlyRecord("a|b|7");
  ASSERT_NE(r, nullptr);
  EXPECT_STREQ(r->digest, "a");
  EXPECT_EQ(r->size, 0);
}

TEST_F(Manifest, SizeFollowsTheDecimalRulesAndOneNoFileHasIsRefused) {
  struct Case {
    const char* text;
    int64_t size;
  } cases[] = {
      {"  \t42", 42},     {"+7", 7},  {"- 5", 0}, {"0x10", 0}, {"", 0},
      {"2147483648", 2147483648}, {"9223372036854775807", std::numeric_limits<int64_t>::max()},
  };
  for (const Case& c : cases) {
    FileRecord* r = onlyRecord(std::string("d|") + c.text);
    ASSERT_NE(r, nullptr) << c.text;
    EXPECT_EQ(r->size, c.size) << c.text;
    reset();
  }
  // Never clamped: a negative size, or one beyond 64 bits, refuses the manifest.
  for (const char* text : {"-5", "-2147483649", "9223372036854775808", "99999999999999999999999"}) {
    expectRefused("OK\r\n" + fileEntry("f", std::string("d|") + text));
    EXPECT_EQ("f: unusable size: " + std::string(text) +
                  (text[0] == '-' ? ", less than 0" : ", more than a 64-bit number holds"),
              refusal_.entry + ": " + refusal_.reason);
  }
}

TEST_F(Manifest, TimeLinesKeepTheLow32BitsOfA64BitValue) {
  struct Case {
    const char* low;
    const char* high;
    uint64_t time;
  } cases[] = {
      {"4294967295", "0", 0xFFFFFFFFull},
      {"4294967296", "1", 0x100000000ull},               // low half wraps to 0
      {"99999999999999999999", "0", 0xFFFFFFFFull},       // clamped to INT64_MAX first
      {"-99999999999999999999", "0", 0},                  // clamped to INT64_MIN first
      {"-1", "-1", 0xFFFFFFFFFFFFFFFFull},
      {"2", "30000000", (uint64_t{30000000} << 32) | 2},
      {"", "junk", 0},
  };
  for (const Case& c : cases) {
    FileRecord* r = onlyRecord("d|1", c.low, c.high);
    ASSERT_NE(r, nullptr) << c.low;
    EXPECT_EQ(r->lastWriteTime, c.time) << c.low << " " << c.high;
    reset();
  }
}

TEST_F(Manifest, FirstLineMustBeExactlyOK) {
  for (const char* first : {"ok", "OK ", " OK", "OKAY", "", "Ok", "NO"}) {
    expectRefused(std::string(first) + "\r\n" + fileEntry("a", "d|1"));
  }
  expectRefused("");
  // A long first line is cut to its field and so can never pass as "OK".
  expectRefused("OK" + std::string(9000, ' ') + "\r\n" + fileEntry("a", "d|1"));
  EXPECT_EQ("the first line: \"OK" + std::string(58, ' ') + "\" where \"OK\" belongs",
            refusal_.entry + ": " + refusal_.reason);
  // "OK" alone is a valid manifest with nothing in it.
  EXPECT_EQ(parse("OK"), ManifestStatus::ok);
  EXPECT_EQ(parse("OK\r\n"), ManifestStatus::ok);
  EXPECT_EQ(files_, nullptr);
  EXPECT_EQ(directories_, nullptr);
}

TEST_F(Manifest, TextEndingInsideAnEntry) {
  // No terminator after the fourth line: the record is still taken.
  ASSERT_EQ(parse("OK\r\na\r\nd|5\r\n1\r\n2"), ManifestStatus::ok);
  auto all = records();
  ASSERT_EQ(all.size(), 1u);
  EXPECT_EQ(all[0]->lastWriteTime, (uint64_t{2} << 32) | 1);
  reset();

  // A name without terminator at the end is dropped, file or directory alike.
  ASSERT_EQ(parse("OK\r\n" + fileEntry("a", "d|1") + "b"), ManifestStatus::ok);
  EXPECT_EQ(records().size(), 1u);
  ASSERT_EQ(parse("OK\r\nlast\\"), ManifestStatus::ok);
  EXPECT_TRUE(directories().empty());
  reset();

  // An entry cut short after its name or its digest line is taken with empty lines.
  ASSERT_EQ(parse("OK\r\nx\r\n"), ManifestStatus::ok);
  ASSERT_EQ(parse("OK\r\ny\r\nabc|9"), ManifestStatus::ok);
  all = records();
  ASSERT_EQ(all.size(), 2u);
  EXPECT_STREQ(all[0]->name, "x");
  EXPECT_STREQ(all[0]->digest, "");
  EXPECT_EQ(all[0]->size, 0);
  EXPECT_EQ(all[0]->lastWriteTime, 0u);
  EXPECT_STREQ(all[1]->digest, "abc");
  EXPECT_EQ(all[1]->size, 9);
  EXPECT_EQ(all[1]->lastWriteTime, 0u);
}

TEST_F(Manifest, DigestAndSizeLineWithoutBar) {
  // Kept: the whole line is the digest (cut to its field), the size is 0.
  FileRecord* r = onlyRecord(kDigest + "10240");
  ASSERT_NE(r, nullptr);
  EXPECT_EQ(std::string(r->digest), kDigest + "10240");
  EXPECT_EQ(r->size, 0);
  reset();

  r = onlyRecord(std::string(100, 'h'));
  ASSERT_NE(r, nullptr);
  EXPECT_EQ(std::string(r->digest), std::string(63, 'h'));
}

TEST_F(Manifest, OverLongLinesAreCutAndTheNextLinesStayInStep) {
  // The digest-and-size line holds 127 characters: a size beyond that is lost.
  std::string digestAndSize = std::string(60, 'a') + "|" + std::string(66, ' ') + "5";
  ASSERT_EQ(digestAndSize.size(), 128u);
  std::string lowLine = std::string(127, ' ') + "7";  // the 7 falls off the field
  ASSERT_EQ(parse("OK\r\n" + fileEntry("a", digestAndSize, lowLine, "3") + fileEntry("b", "d|4")),
            ManifestStatus::ok);
  auto all = records();
  ASSERT_EQ(all.size(), 2u);
  EXPECT_EQ(std::string(all[0]->digest), std::string(60, 'a'));
  EXPECT_EQ(all[0]->size, 0);
  EXPECT_EQ(all[0]->lastWriteTime, uint64_t{3} << 32);
  EXPECT_STREQ(all[1]->name, "b");
  EXPECT_EQ(all[1]->size, 4);

  // A digest longer than its field is cut to 63 characters.
  reset();
  FileRecord* r = onlyRecord(std::string(80, 'c') + "|6");
  ASSERT_NE(r, nullptr);
  EXPECT_EQ(std::string(r->digest), std::string(63, 'c'));
  EXPECT_EQ(r->size, 6);
}

TEST_F(Manifest, NamesLeavingTheDownloadRootRefuseTheManifest) {
  const char* refused[] = {
      "..\\x",     "a\\..\\..\\x", "a\\..",       "..\\",       "a/../b",
      "...\\x",    ".. \\x",       "a\\. .\\x",   "C:\\x",      "C:x",
      "a:b",       "data\\f.txt:stream",          "\\x",        "/x",
      "\\\\server\\share\\x",
  };
  for (const char* name : refused) {
    // A sound entry first: it must not survive the refusal either.
    expectRefused("OK\r\n" + fileEntry("good", "d|1") + "ok\\\r\n" + fileEntry(name, "d|1"));
  }
  // Directory entries are held to the same rule.
  expectRefused("OK\r\n..\\..\\Windows\\\r\n");
}

TEST_F(Manifest, NamesOfDevicesRefuseTheManifest) {
  for (const char* name : {"CON", "nul", "data\\aux.txt", "Com1", "lpt9.log", "prn \\x", "a\\NUL\\",
                           "COM\xB9", "com\xB2.txt", "d\\LPT\xB3\\x", "lpt\xB9"}) {
    expectRefused("OK\r\n" + fileEntry(name, "d|1"));
  }
  // Names that merely start like a device are ordinary files.
  const std::string text = "OK\r\n" + fileEntry("console.txt", "d|1") + fileEntry("com0", "d|1") +
                           fileEntry("lpt10", "d|1") + fileEntry("nully\\auxiliary.dat", "d|1");
  ASSERT_EQ(parse(text), ManifestStatus::ok);
  EXPECT_EQ(records().size(), 4u);
}

TEST_F(Manifest, NamesThatOnlyLookLikeParentsAreAccepted) {
  const std::string text = "OK\r\n" + fileEntry("a..b", "d|1") + fileEntry("..a\\.b", "d|1") +
                           fileEntry("x\\.\\y", "d|1") + fileEntry("a.b\\c", "d|1") + "...x\\\r\n";
  ASSERT_EQ(parse(text), ManifestStatus::ok);
  EXPECT_EQ(records().size(), 4u);
  EXPECT_EQ(directories(), std::vector<std::string>{"...x\\"});
}

TEST_F(Manifest, NamesThatWindowsWouldShortenRefuseTheManifest) {
  // "a." and "a " are written as "a": the file on disk would not be the one named.
  for (const char* name : {"a.", "a ", "d.\\x", "d \\x", "dir.\\", "x\\f.txt.", "x\\f.txt  "}) {
    expectRefused("OK\r\n" + fileEntry(name, "d|1"));
  }
}

TEST_F(Manifest, BlankLinesBetweenEntriesAreLeftOut) {
  // Editors and publishers' tools leave an empty line between entries or at the end.
  const std::string text = "OK\r\n\r\n" + fileEntry("a", "d|1", "5", "6") + "\r\n" + "dir\\\r\n" +
                           "\r\n" + fileEntry("b", "e|2") + "\r\n\r\n\r\n";
  ASSERT_EQ(parse(text), ManifestStatus::ok);
  auto all = records();
  ASSERT_EQ(all.size(), 2u);
  EXPECT_STREQ(all[0]->name, "a");
  EXPECT_EQ(all[0]->lastWriteTime, (uint64_t{6} << 32) | 5);
  EXPECT_STREQ(all[1]->name, "b");
  EXPECT_EQ(all[1]->index, 1);
  EXPECT_EQ(all[1]->size, 2);
  EXPECT_EQ(directories(), std::vector<std::string>{"dir\\"});
  reset();
  // Only name lines: an empty digest line still belongs to its file entry.
  ASSERT_EQ(parse("OK\r\n" + fileEntry("c", "") + fileEntry("d", "f|3")), ManifestStatus::ok);
  all = records();
  ASSERT_EQ(all.size(), 2u);
  EXPECT_EQ(all[0]->size, 0);
  EXPECT_STREQ(all[1]->name, "d");
  EXPECT_EQ(all[1]->size, 3);
}

TEST_F(Manifest, LocalPathMustFitItsField) {
  // Root, backslash and name together may hold 255 characters, no more.
  const std::string root(100, 'r');
  const std::string fits(255 - 100 - 1, 'n');
  ASSERT_EQ(parse("OK\r\n" + fileEntry(fits, "d|1"), root.c_str()), ManifestStatus::ok);
  auto all = records();
  ASSERT_EQ(all.size(), 1u);
  EXPECT_EQ(std::string(all[0]->localPath), root + "\\" + fits);
  EXPECT_EQ(std::strlen(all[0]->localPath), 255u);

  reset();

  expectRefused("OK\r\n" + fileEntry(fits + "n", "d|1"), root.c_str());
  EXPECT_EQ(fits + "n: path too long for this machine's download folder " + root +
                " (100 characters): with the name the local path has 256 characters, more than 255",
            refusal_.entry + ": " + refusal_.reason);
  expectRefused("OK\r\n" + fits + "n\\\r\n", root.c_str());  // a directory too
  // A name line longer than its field is cut, and a cut name never fits.
  expectRefused("OK\r\n" + fileEntry(std::string(300, 'n'), "d|1"), "");
}

// Every refusal names the entry and the rule it broke, as velmorin-manifest does.
TEST_F(Manifest, RefusalsNameTheEntryAndTheRuleItBroke) {
  const std::string duplicate = "duplicate: Windows takes it for the same name as ";
  struct Case { std::string entries, entry, reason; } cases[] = {
      {fileEntry("Case.txt", "d|1") + fileEntry("CASE.TXT", "d|1"), "CASE.TXT", duplicate + "Case.txt"},
      {"Data\\\r\n" + fileEntry("data", "d|1"), "data", duplicate + "Data\\"},
      {"d\\\r\nD\\\r\n", "D\\", duplicate + "d\\"},
      {"s\\\r\n" + fileEntry("s\\a", "d|1") + fileEntry("S/A", "d|1"), "S/A", duplicate + "s\\a"},
      {fileEntry("a", "d|1") + "\r\n" + "d|1\r\n0\r\n0\r\n", "the entry after a", "an empty name"},
      {fileEntry("x\x01y", "d|1"), "x\\x01y",
       "forbidden character: control character 0x01, which Windows does not allow in a name"},
      {fileEntry("data\\con.txt", "d|1"), "data\\con.txt", "device name: Windows opens the device CON, not a file"},
      {fileEntry("data\\x.~VM", "d|1"), "data\\x.~VM",
       "reserved name: names ending in \".~vm\" or \".~vr\" are the installer's own, for files on their way"},
      {fileEntry("a\\..\\..\\x", "d|1"), "a\\..\\..\\x",
       "unsafe name: \"..\", or what Windows reads as \"..\", leaves the download folder"},
      {fileEntry(std::string(300, 'n'), "d|1"), std::string(255, 'n'),
       "name too long: 255 characters or more, which no local path holds"},
  };
  for (const Case& c : cases) {
    expectRefused("OK\r\n" + c.entries);
    EXPECT_EQ(c.entry, refusal_.entry) << c.entries;
    EXPECT_EQ(c.reason, refusal_.reason) << c.entries;
  }
  for (char c : std::string("*?\"<>|:")) {
    expectRefused("OK\r\n" + fileEntry(std::string("a") + c + "b", "d|1"));
    EXPECT_EQ(std::string("forbidden character: '") + c + "', which Windows does not allow in a name", refusal_.reason);
  }
}

}  // namespace

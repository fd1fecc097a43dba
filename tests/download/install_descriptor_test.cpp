#include "download/install_descriptor.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>

#include "download/line_reader.h"
#include "support/test_files.h"

namespace {

const std::string kHost = VELMORIN_DOWNLOAD_HOST;

std::string builtInDescriptor() {
#ifdef _WIN32
  const std::string path = std::string("Z:") + VM_BUILT_IN_DESCRIPTOR;
#else
  const std::string path = VM_BUILT_IN_DESCRIPTOR;
#endif
  const std::string text = readWholeFile(path);
  EXPECT_NE(text, "<missing>") << path;
  return text;
}

// Parses a heap copy of exactly the text's size, so that a read past the length
// is caught by the sanitizers.
void parse(const std::string& text) {
  std::unique_ptr<char[]> exact(new char[text.size() + 1]);
  std::memcpy(exact.get(), text.data(), text.size());
  parseInstallDescriptor(exact.get(), static_cast<int>(text.size()));
}

class InstallDescriptor : public ::testing::Test {
 protected:
  void SetUp() override {
    std::memset(g_productName, 0, sizeof g_productName);
    std::memset(g_libraryName, 0, sizeof g_libraryName);
    std::memset(g_baseUrl, 0, sizeof g_baseUrl);
    std::memset(g_imageUrl, 0, sizeof g_imageUrl);
  }
};

TEST_F(InstallDescriptor, BuiltInDescriptorGivesTheProductsValues) {
  std::string text = builtInDescriptor();
  ASSERT_EQ(text.size(), 117u);
  parse(text);
  EXPECT_STREQ(g_productName, "Moor-Z2");
  EXPECT_STREQ(g_libraryName, "setupzentrav.dll");
  EXPECT_EQ(std::string(g_baseUrl), kHost + "/install/game/moorz2");
  const std::string image = g_imageUrl;
  EXPECT_EQ(image.rfind("http://", 0), 0u) << image;
  EXPECT_EQ(image.substr(image.size() - 22), "/ids/moorz2_french.gif");
}

TEST_F(InstallDescriptor, BuiltInDescriptorEndsAtItsLength) {
  std::string text = builtInDescriptor();
  int cursor = -1;
  char line[256];
  int terminated = 0;
  while (readLine(text.data(), &cursor, static_cast<int>(text.size()), line, sizeof line))
    ++terminated;
  EXPECT_EQ(terminated, 5);
  EXPECT_EQ(cursor, 117);
  EXPECT_STREQ(line, "");
}

TEST_F(InstallDescriptor, LastLineWithoutTerminatorAndSingleCharacterTerminators) {
  parse("MARK\nProd\rdir\\sub\n\r\nlib.dll");
  EXPECT_STREQ(g_productName, "Prod");
  EXPECT_EQ(std::string(g_baseUrl), kHost + "/dir/sub");
  EXPECT_STREQ(g_imageUrl, "");
  EXPECT_STREQ(g_libraryName, "lib.dll");
}

TEST_F(InstallDescriptor, OverLongLinesAreCutToTheirFields) {
  const std::string marker(5000, 'M');
  const std::string product(300, 'P');
  const std::string path(200, 'd');
  const std::string image(200, 'i');
  const std::string library(400, 'L');
  parse(marker + "\r\n" + product + "\r\n" + path + "\r\n" + image + "\r\n" + library + "\r\n");
  EXPECT_EQ(std::string(g_productName), product.substr(0, 255));
  EXPECT_EQ(std::string(g_imageUrl), image.substr(0, 127));
  EXPECT_EQ(std::string(g_libraryName), library.substr(0, 255));
  // The base URL holds at most 127 characters: host, slash and the start of the path.
  const std::string base = g_baseUrl;
  ASSERT_EQ(base.size(), 127u);
  EXPECT_EQ(base, (kHost + "/" + path).substr(0, 127));
}

TEST_F(InstallDescriptor, BaseUrlJustInsideItsField) {
  // Host, slash and a path that together fill 127 characters exactly.
  const std::string path(127 - kHost.size() - 1, 'x');
  parse("M\r\nP\r\n" + path + "\r\nI\r\nL\r\n");
  EXPECT_EQ(std::string(g_baseUrl), kHost + "/" + path);
}

TEST_F(InstallDescriptor, MissingLinesLeaveTheirValuesAsTheyWere) {
  parse("M\r\nFirst\r\nold\\path\r\nhttp://img/a.gif\r\nfirst.dll\r\n");
  ASSERT_STREQ(g_libraryName, "first.dll");

  // Only two lines: the product changes, the library keeps its value, and the base
  // URL and image URL come from the cleared buffers.
  parse("M\r\nSecond\r\n");
  EXPECT_STREQ(g_productName, "Second");
  EXPECT_STREQ(g_libraryName, "first.dll");
  EXPECT_EQ(std::string(g_baseUrl), kHost + "/");
  EXPECT_STREQ(g_imageUrl, "");

  // No text at all: the product stays too.
  parse("");
  EXPECT_STREQ(g_productName, "Second");
  EXPECT_EQ(std::string(g_baseUrl), kHost + "/");
}

TEST_F(InstallDescriptor, EveryBackslashOfThePathBecomesASlash) {
  parse("M\r\nP\r\n\\a\\\\b\\\r\nI\r\nL\r\n");
  EXPECT_EQ(std::string(g_baseUrl), kHost + "//a//b/");
}

}  // namespace

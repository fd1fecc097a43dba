// downloadFile against a real nginx on loopback, started by the test fixture, which
// names its directory in VM_NGINX_DIR: every file must arrive byte for byte.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "download/download_file.h"
#include "download/md5_digest.h"
#include "support/scripted_message_box.h"
#include "support/test_files.h"

namespace {

// The fixture's directory as a Windows path (Wine maps the Unix root to Z:).
std::string fixtureDir() {
  const char* dir = std::getenv("VM_NGINX_DIR");
  if (!dir || !*dir) return "";
  return dir[0] == '/' ? std::string("Z:") + dir : dir;
}

std::string firstLine(const std::string& text) { return text.substr(0, text.find('\n')); }

class NginxDownload : public testing::TestWithParam<int> {};

TEST_P(NginxDownload, FileArrivesWhole) {
  const std::string dir = fixtureDir();
  if (dir.empty()) GTEST_SKIP() << "VM_NGINX_DIR is not set (run through ctest)";
  const std::string port = firstLine(readWholeFile(dir + "/port", ""));
  ASSERT_FALSE(port.empty());
  const std::string name = "file-" + std::to_string(GetParam());
  const std::string expected = readWholeFile(dir + "/www/" + name, "");
  ASSERT_EQ(static_cast<size_t>(GetParam()), expected.size());

  ScriptedMessageBoxes boxes;  // any box would fail the test
  long long reported = 0;
  int size = -1;
  char* body = downloadFile(("127.0.0.1:" + port).c_str(), name.c_str(), &size,
                            [](void* context, int64_t total, int) {
                              *static_cast<long long*>(context) = total;
                            },
                            &reported);
  ASSERT_NE(nullptr, body);
  ASSERT_EQ(GetParam(), size);
  EXPECT_TRUE(std::string(body, static_cast<size_t>(size)) == expected);
  char digest[33];
  digestText(body, static_cast<uint32_t>(size), digest);
  EXPECT_EQ(firstLine(readWholeFile(dir + "/www/" + name + ".md5", "")), digest);
  EXPECT_GT(reported, size);  // raw bytes, header block included
  std::free(body);
  EXPECT_EQ(0u, boxes.count());
}

INSTANTIATE_TEST_SUITE_P(Sizes, NginxDownload, testing::Values(0, 1, 512, 513, 52428800));

}  // namespace

// Loading the install manifest from a loopback server into the process-wide lists.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "download/manifest_loader.h"
#include "download/manifest_parser.h"
#include "net/loopback_server.h"
#include "support/scripted_message_box.h"
#include "support/temporary_directory.h"

namespace {

std::string pathOf(const std::string& request) {
  size_t start = request.find(' ') + 1;
  return request.substr(start, request.find(" HTTP/1.1") - start);
}

class ManifestLoader : public testing::Test {
 protected:
  void SetUp() override {
    root_ = systemTemporaryDirectory() + "velmorin-manifest-" + std::to_string(GetCurrentProcessId());
    RemoveDirectoryA(root_.c_str());
  }
  void TearDown() override {
    releaseManifestLists(g_fileList, g_directoryList);
    g_fileList = nullptr;
    g_directoryList = nullptr;
    RemoveDirectoryA(root_.c_str());
  }
  bool rootExists() const {
    DWORD attributes = GetFileAttributesA(root_.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
  }
  // Serves `manifest` at /install/game/downloadgi.txt.
  LoopbackServer::Script serving(const std::string& manifest) {
    return [manifest](const std::string& request, int) {
      Reply reply;
      reply.bytes = pathOf(request) == "/install/game/downloadgi.txt"
                        ? LoopbackServer::response(manifest)
                        : "HTTP/1.1 404 Not Found\r\n\r\nmissing";
      return reply;
    };
  }
  std::string root_;
};

TEST_F(ManifestLoader, BuildsTheListsFromTheDownloadedManifest) {
  LoopbackServer server(serving("OK\r\ndata\\\r\ndata\\a.bin\r\n0123456789abcdef0123456789abcdef|10\r\n"
                                "5\r\n1\r\nb.txt\r\nfedcba9876543210fedcba9876543210|0\r\n0\r\n0\r\n"));
  ScriptedMessageBoxes boxes;
  std::string base = server.hostPort() + "\\install\\game";
  RecordNode* files = loadManifest(root_.c_str(), base.c_str());
  EXPECT_TRUE(rootExists());
  ASSERT_NE(nullptr, files);
  EXPECT_EQ(g_fileList, files);
  ASSERT_EQ(2, listCount(files));
  ASSERT_EQ(1, listCount(g_directoryList));
  EXPECT_STREQ("data\\", static_cast<char*>(g_directoryList->item));
  FileRecord* first = static_cast<FileRecord*>(files->item);
  EXPECT_EQ(root_ + "\\data\\a.bin", first->localPath);
  EXPECT_STREQ("data\\a.bin", first->name);
  EXPECT_STREQ(base.c_str(), first->baseUrl);
  EXPECT_EQ(10, first->size);
  EXPECT_EQ(0, first->index);
  EXPECT_EQ((uint64_t{1} << 32) | 5, first->lastWriteTime);
  EXPECT_EQ(1, static_cast<FileRecord*>(files->next->item)->index);
  EXPECT_EQ(0u, boxes.count());
  ASSERT_EQ(1u, server.requests().size());
  EXPECT_EQ("/install/game/downloadgi.txt", pathOf(server.requests()[0]));
}

TEST_F(ManifestLoader, AWrongFirstLineIsReportedAndGivesNothing) {
  LoopbackServer server(serving("ok\r\nb.txt\r\nx|0\r\n0\r\n0\r\n"));
  ScriptedMessageBoxes boxes;
  boxes.answer({IDOK});
  EXPECT_EQ(nullptr, loadManifest(root_.c_str(), (server.hostPort() + "/install/game").c_str()));
  EXPECT_EQ(nullptr, g_fileList);
  ASSERT_EQ(1u, boxes.count());
  EXPECT_EQ("Location is unavailable or invalid header file downloaded", boxes.boxes()[0].text);
  EXPECT_EQ("Downloading Utility", boxes.boxes()[0].caption);
  EXPECT_EQ(static_cast<UINT>(MB_SYSTEMMODAL | MB_ICONERROR | MB_OK), boxes.boxes()[0].flags);
}

TEST_F(ManifestLoader, AnErrorPageIsAWrongFirstLine) {
  LoopbackServer server(serving("unused"));
  ScriptedMessageBoxes boxes;
  boxes.answer({IDOK});
  EXPECT_EQ(nullptr, loadManifest(root_.c_str(), (server.hostPort() + "/elsewhere").c_str()));
  ASSERT_EQ(1u, boxes.count());
  EXPECT_EQ("Location is unavailable or invalid header file downloaded", boxes.boxes()[0].text);
}

TEST_F(ManifestLoader, AnEmptyManifestGivesAnEmptyList) {
  LoopbackServer server(serving("OK\r\n"));
  ScriptedMessageBoxes boxes;
  EXPECT_EQ(nullptr, loadManifest(root_.c_str(), (server.hostPort() + "/install/game").c_str()));
  EXPECT_EQ(0u, boxes.count());
}

TEST_F(ManifestLoader, AGivenUpDownloadGivesNothingWithoutAFurtherBox) {
  ScriptedMessageBoxes boxes;
  boxes.answer({IDNO});
  EXPECT_EQ(nullptr, loadManifest(root_.c_str(), "no-such-host.invalid/install/game"));
  EXPECT_TRUE(rootExists());
  ASSERT_EQ(1u, boxes.count());
  EXPECT_EQ("Failure downloading no-such-host.invalid/install/game//downloadgi.txt , retry download\n",
            boxes.boxes()[0].text);
}

}  // namespace

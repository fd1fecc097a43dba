#include "download/descriptor_loader.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <string>

#include "download/install_descriptor.h"
#include "download/line_reader.h"
#include "support/scripted_message_box.h"
#include "support/temporary_directory.h"
#include "support/test_files.h"

namespace {

void writeWhole(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary);
  out << bytes;
}

// The descriptor built into this test program (resource 455).
TEST(DescriptorLoader, LoadsResource455WithoutAnyBox) {
  ScriptedMessageBoxes boxes;
  loadInstallDescriptor();
  EXPECT_EQ(boxes.count(), 0u);
  ASSERT_NE(g_descriptorText, nullptr);
  ASSERT_EQ(g_descriptorLength, 117);
  const std::string expected = readWholeFile(std::string("Z:") + VM_BUILT_IN_DESCRIPTOR, "");
  EXPECT_EQ(std::string(g_descriptorText, 117), expected);

  // The reader stops at byte 117 of the resource, whatever follows it in memory.
  int cursor = -1;
  char line[256];
  int terminated = 0;
  while (readLine(g_descriptorText, &cursor, g_descriptorLength, line, sizeof line)) ++terminated;
  EXPECT_EQ(terminated, 5);
  EXPECT_EQ(cursor, 117);

  parseInstallDescriptor(g_descriptorText, g_descriptorLength);
  EXPECT_STREQ(g_productName, "Moor-Z2");
  EXPECT_STREQ(g_libraryName, "setupzentrav.dll");

  // Loaded once: a second call keeps the same text.
  const char* first = g_descriptorText;
  loadInstallDescriptor();
  EXPECT_EQ(g_descriptorText, first);
  EXPECT_EQ(boxes.count(), 0u);
}

// Runs the probe program (built without resources) in a fresh directory.
class DescriptorFallback : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_FALSE(systemTemporaryDirectory().empty());
    dir_ = systemTemporaryDirectory() + "vm_descriptor_" + std::to_string(GetCurrentProcessId()) + "_" +
           ::testing::UnitTest::GetInstance()->current_test_info()->name();
    ASSERT_TRUE(CreateDirectoryA(dir_.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS);
  }
  void TearDown() override {
    for (const char* name : {"setup.ini", "boxes.txt", "loaded.bin"})
      DeleteFileA((dir_ + "\\" + name).c_str());
    RemoveDirectoryA(dir_.c_str());
  }

  DWORD runProbe() {
    char self[MAX_PATH];
    DWORD n = GetModuleFileNameA(nullptr, self, MAX_PATH);
    std::string probe(self, n);
    probe = probe.substr(0, probe.find_last_of("\\/") + 1) + "descriptor_loader_probe.exe";
    std::string command = "\"" + probe + "\"";
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessA(probe.c_str(), &command[0], nullptr, nullptr, FALSE, 0, nullptr,
                        dir_.c_str(), &startup, &process)) {
      ADD_FAILURE() << "cannot start " << probe << ": " << GetLastError();
      return 0xDEAD;
    }
    EXPECT_EQ(WaitForSingleObject(process.hProcess, 30000), WAIT_OBJECT_0);
    DWORD code = 0xDEAD;
    GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return code;
  }

  std::string file(const char* name) { return readWholeFile(dir_ + "\\" + name, ""); }

  std::string dir_;
};

const std::string kIniTakedBox = "Ini taked|<none>|0x1030|no owner\n";

TEST_F(DescriptorFallback, SetupIniIsLoadedAfterTheWarning) {
  const std::string ini = "MARK\r\nFallback\r\nsome\\path\r\nhttp://x/y.gif\r\nfb.dll";
  writeWhole(dir_ + "\\setup.ini", ini);
  EXPECT_EQ(runProbe(), 0u);
  EXPECT_EQ(file("boxes.txt"), kIniTakedBox);
  // Length line, the file's bytes, then the terminating zero that was added.
  EXPECT_EQ(file("loaded.bin"), std::to_string(ini.size()) + "\n" + ini + std::string(1, '\0'));
}

TEST_F(DescriptorFallback, EmptySetupIniIsAnEmptyDescriptor) {
  writeWhole(dir_ + "\\setup.ini", "");
  EXPECT_EQ(runProbe(), 0u);
  EXPECT_EQ(file("boxes.txt"), kIniTakedBox);
  EXPECT_EQ(file("loaded.bin"), std::string("0\n") + std::string(1, '\0'));
}

TEST_F(DescriptorFallback, NoDescriptorAtAllEndsWithMinusOne) {
  EXPECT_EQ(runProbe(), 0xFFFFFFFFu);
  EXPECT_EQ(file("boxes.txt"), kIniTakedBox + "Failure loading header|<none>|0x10|no owner\n");
  EXPECT_EQ(file("loaded.bin"), "");
}

}  // namespace

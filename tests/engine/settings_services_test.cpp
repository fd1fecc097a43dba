// The settings services on real files, through Windows file handles, as an
// installer library calls them.
#include "engine/settings_services.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/temporary_directory.h"

namespace {

class SettingsServices : public ::testing::Test {
 protected:
  void SetUp() override {
    path_ = systemTemporaryDirectory() + "velmorin-settings-" + std::to_string(GetCurrentProcessId()) + "-" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name() + ".ini";
  }

  void TearDown() override {
    for (RecordNode* list : lists_) releaseSettingsList(list);
    DeleteFileA(path_.c_str());
  }

  void writeFile(const std::string& bytes) {
    HANDLE file = CreateFileA(path_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, file);
    DWORD written = 0;
    ASSERT_TRUE(WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr));
    CloseHandle(file);
  }

  RecordNode* loadKept(const std::string& path) {
    RecordNode* list = loadSettings(path.c_str());
    lists_.push_back(list);
    return list;
  }

  static DWORD positionOf(HANDLE file) { return SetFilePointer(file, 0, nullptr, FILE_CURRENT); }

  std::string path_;
  std::vector<RecordNode*> lists_;
};

}  // namespace

TEST_F(SettingsServices, LoadedFileIsFoundByAnyKeyCase) {
  writeFile("NAME=Value\r\nCOUNT=12\r\nnot a setting\r\nDir=C:\\Games\\Zentrav\r\n");
  RecordNode* list = loadKept(path_);
  ASSERT_EQ(3, listCount(list));
  EXPECT_STREQ("VALUE", findSetting(list, "name", true));
  EXPECT_STREQ("Value", findSetting(list, "Name", false));
  EXPECT_STREQ("C:\\Games\\Zentrav", findSetting(list, "DIR", false));
  EXPECT_EQ(12, findSettingNumber(list, "count"));
  EXPECT_EQ(0, findSettingNumber(list, "absent"));
}

TEST_F(SettingsServices, LastLineWithoutTerminatorIsLoadedEmptyLastLineIsNot) {
  writeFile("A=1\nB=two");
  EXPECT_STREQ("two", findSetting(loadKept(path_), "b", false));
  writeFile("A=1\r\nB=2\r\n");
  EXPECT_EQ(2, listCount(loadKept(path_)));
}

TEST_F(SettingsServices, MissingOrLockedFileGivesAnEmptyList) {
  EXPECT_EQ(nullptr, loadKept(path_ + ".missing"));
  writeFile("A=1\r\n");
  HANDLE holder = CreateFileA(path_.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(INVALID_HANDLE_VALUE, holder);
  EXPECT_EQ(nullptr, loadKept(path_));
  CloseHandle(holder);
  EXPECT_EQ(1, listCount(loadKept(path_)));
}

TEST_F(SettingsServices, LoadingLeavesTheFileClosed) {
  writeFile("A=1\r\n");
  loadKept(path_);
  HANDLE exclusive = CreateFileA(path_.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                 FILE_ATTRIBUTE_NORMAL, nullptr);
  EXPECT_NE(INVALID_HANDLE_VALUE, exclusive) << "error " << GetLastError();
  if (exclusive != INVALID_HANDLE_VALUE) CloseHandle(exclusive);
}

TEST_F(SettingsServices, ReadLineLeavesTheHandleAtTheNextLine) {
  writeFile("A=1\r\nB=2\rC=3\nD=4");
  HANDLE file = CreateFileA(path_.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(INVALID_HANDLE_VALUE, file);
  char line[kSettingsLineSize];

  EXPECT_TRUE(readSettingsLine(file, line));
  EXPECT_STREQ("A=1", line);
  EXPECT_EQ(5u, positionOf(file));
  EXPECT_TRUE(readSettingsLine(file, line));
  EXPECT_STREQ("B=2", line);
  EXPECT_EQ(9u, positionOf(file)) << "the byte after a lone CR goes back to the file";
  EXPECT_TRUE(readSettingsLine(file, line));
  EXPECT_STREQ("C=3", line);
  EXPECT_EQ(13u, positionOf(file));
  EXPECT_FALSE(readSettingsLine(file, line));
  EXPECT_STREQ("D=4", line);
  EXPECT_FALSE(readSettingsLine(file, line));
  EXPECT_STREQ("", line);
  CloseHandle(file);
}

TEST_F(SettingsServices, OverlongLineIsCutInsideTheBuffer) {
  writeFile("KEY=" + std::string(1000, 'v') + "\r\nNEXT=ok\r\n");
  HANDLE file = CreateFileA(path_.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(INVALID_HANDLE_VALUE, file);
  char line[kSettingsLineSize + 16];
  memset(line, '#', sizeof line);
  EXPECT_TRUE(readSettingsLine(file, line));
  EXPECT_EQ(255u, strlen(line));
  for (size_t i = kSettingsLineSize; i < sizeof line; ++i) ASSERT_EQ('#', line[i]);
  EXPECT_TRUE(readSettingsLine(file, line));
  EXPECT_STREQ("NEXT=ok", line);
  CloseHandle(file);

  RecordNode* list = loadKept(path_);
  EXPECT_EQ(std::string(251, 'v'), findSetting(list, "key", false));
  EXPECT_STREQ("ok", findSetting(list, "next", false));
}

TEST_F(SettingsServices, ServicesFitTheInstallerTable) {
  QuorvaneReadSettingsLine read = readSettingsLineService;
  QuorvaneLoadSettings load = loadSettingsService;
  QuorvaneFindSetting find = findSettingService;
  QuorvaneFindSettingNumber number = findSettingNumberService;
  writeFile("Mode=Full\r\nCount=3\r\n");
  QuorvaneSettingsList* list = load(path_.c_str());
  lists_.push_back(reinterpret_cast<RecordNode*>(list));
  EXPECT_STREQ("FULL", find(list, "mode", true));
  EXPECT_EQ(3, number(list, "COUNT"));
  HANDLE file = CreateFileA(path_.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  char line[kSettingsLineSize];
  EXPECT_TRUE(read(file, line));
  EXPECT_STREQ("Mode=Full", line);
  CloseHandle(file);
}

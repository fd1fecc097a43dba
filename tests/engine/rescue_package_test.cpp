// The rescue package with scripted answers, on real files: No, the empty-directory
// loop, a package of related files alone (with the path-not-found retry), setup.exe
// and the readme, and the copy error box's Try Again, Continue and Cancel.
#include <gtest/gtest.h>

#include <deque>
#include <filesystem>

#include "download/file_record.h"
#include "download/install_descriptor.h"
#include "engine/engine_utilities.h"
#include "engine/rescue_package.h"
#include "services/folder_browser.h"
#include "services/shell_open.h"
#include "support/engine_window.h"
#include "support/scripted_message_box.h"
#include "support/temporary_directory.h"
#include "support/test_files.h"

namespace {
std::string g_base;                       // this test's directory
std::deque<std::string> g_folderAnswers;  // "" cancels the browser
std::vector<std::string> g_opened;

bool answerFolder(HWND owner, const char* title, UINT flags, char* path) {
  EXPECT_EQ(owner, g_mainWindow);
  EXPECT_EQ(flags, 0x51u);
  EXPECT_STREQ(title, "Select directory for future local mode installation  !");
  static int unexpected = 0;
  if (g_folderAnswers.empty() && ++unexpected > 10) std::abort();  // a loop that never ends
  EXPECT_FALSE(g_folderAnswers.empty()) << "unexpected folder request";
  std::string answer = g_folderAnswers.empty() ? g_base + "\\empty" : g_folderAnswers.front();
  if (!g_folderAnswers.empty()) g_folderAnswers.pop_front();
  strcpy(path, answer.c_str());
  return !answer.empty();
}

bool recordOpen(HWND owner, const char* verb, const char* path) {
  EXPECT_EQ(owner, nullptr);
  g_opened.push_back(std::string(verb) + " " + path);
  return true;
}

class RescuePackage : public testing::Test {
 protected:
  void SetUp() override {
    scratch_ = std::make_unique<ScratchDirectory>("vm-rescue-" + std::to_string(GetCurrentProcessId()));
    g_base = scratch_->path();
    for (const char* sub : {"\\root", "\\full", "\\dots", "\\empty", "\\tmp"})
      CreateDirectoryA((g_base + sub).c_str(), nullptr);
    temporary_.pointAt(g_base + "\\tmp");
    std::ofstream(g_base + "\\full\\keep.txt") << "x";
    std::ofstream(g_base + "\\dots\\.hidden") << "x";
    strcpy(g_productName, "Moor-Z2");
    g_fileList = g_directoryList = nullptr;
    g_opened.clear();
    setFolderAnswerer(&answerFolder);
    setShellOpener(&recordOpen);
    window_ = std::make_unique<EngineWindow>();
  }
  void TearDown() override {
    window_.reset();
    setFolderAnswerer(nullptr);
    setShellOpener(nullptr);
    scratch_.reset();
  }
  void addFile(const std::string& name, const std::string& bytes, const std::string& packageName) {
    std::ofstream(g_base + "\\root\\" + name, std::ios::binary) << bytes;
    auto* record = new FileRecord{};
    strcpy(record->localPath, (g_base + "\\root\\" + name).c_str());
    strcpy(record->name, packageName.c_str());
    g_fileList = listAppend(g_fileList, record);
  }
  TemporaryDirectoryRedirect temporary_;
  std::unique_ptr<ScratchDirectory> scratch_;
  std::unique_ptr<EngineWindow> window_;
  ScriptedMessageBoxes boxes_;
};

const char kChoose[] =
    "You should choose a empty directory for future local mode installation ! IT'S REQUIRED !! \n"
    "Important for future restore a failure update !!!";
}  // namespace

TEST_F(RescuePackage, NoWritesNothingAndSaysSoInRed) {
  addFile("a.txt", "a", "a.txt");
  boxes_.answer({IDNO});
  saveRescuePackage();
  ASSERT_EQ(boxes_.count(), 1u);
  EXPECT_EQ(boxes_.boxes()[0].text, "Want to save a installation into empty directory  ?");
  EXPECT_EQ(boxes_.boxes()[0].caption, "Installer Confirmation");
  EXPECT_EQ(window_->colourOf("User have not select a 'directory' for future installation"), 4);
  EXPECT_FALSE(std::filesystem::exists(g_base + "\\empty\\pack"));
}

// Related files alone (no manifest, as after an installation from a directory).
TEST_F(RescuePackage, AsksUntilAnEmptyDirectoryThenSavesRelatedFilesSetupAndReadme) {
  addFile("extra.cfg", "LEVEL=3\r\n", "extra\\extra.cfg");  // "extra\" exists nowhere yet
  addFile("big.bin", std::string(300000, '\xB0'), "big.bin");
  const std::string chosen = g_base + "\\dots";  // holds only a dot-file: empty
  g_folderAnswers = {g_base + "\\full", "", chosen};
  boxes_.answer({IDYES, IDOK, IDOK, IDOK, IDOK, IDOK, IDOK});
  saveRescuePackage();

  const std::string keep = "Please Keep directory '" + chosen +
                           "' for restore older installation if failure or bug future update\n"
                           "DON'T RUN SETUP.EXE BECAUSE SCENARIO IS ALREADY INSTALLED";
  const auto boxes = boxes_.boxes();
  ASSERT_EQ(boxes.size(), 7u);
  std::vector<std::string> texts;
  for (const RecordedBox& box : boxes) texts.push_back(box.text);
  EXPECT_EQ(texts, (std::vector<std::string>{
                       "Want to save a installation into empty directory  ?", kChoose, "Directory not empty !",
                       kChoose, kChoose, keep,
                       "DON'T RUN SETUP.EXE BECAUSE SCENARIO IS ALREADY INSTALLED !!\nThank you download this product"}));
  EXPECT_EQ(boxes[2].caption, "velmorin");
  EXPECT_EQ(boxes[2].owner, window_->hwnd());
  EXPECT_EQ(boxes[2].flags, UINT(MB_ICONERROR | MB_SYSTEMMODAL));
  EXPECT_EQ(boxes[5].caption, "NOTICE !!!!!!!");
  EXPECT_EQ(boxes[5].owner, nullptr);
  EXPECT_EQ(boxes[5].flags, UINT(MB_ICONWARNING | MB_SYSTEMMODAL));
  EXPECT_EQ(boxes[6].flags, UINT(MB_ICONINFORMATION | MB_SYSTEMMODAL));
  EXPECT_EQ(g_opened, std::vector<std::string>{"Open " + chosen});

  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(chosen + "\\pack"))
    names.push_back(entry.path().lexically_relative(chosen + "\\pack").string());
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{"big.bin", "extra", "extra\\extra.cfg", "readme.txt", "setup.exe"}));
  const std::string pack = chosen + "\\pack\\";
  EXPECT_EQ(readWholeFile(pack + "extra\\extra.cfg"), "LEVEL=3\r\n");
  EXPECT_EQ(readWholeFile(pack + "big.bin"), std::string(300000, '\xB0'));
  HRSRC setup = FindResourceA(nullptr, MAKEINTRESOURCEA(458), MAKEINTRESOURCEA(10));
  EXPECT_EQ(readWholeFile(pack + "setup.exe"),
            std::string(static_cast<const char*>(LockResource(LoadResource(nullptr, setup))),
                        SizeofResource(nullptr, setup)));
  EXPECT_EQ(readWholeFile(pack + "readme.txt"),
            "Welcome ! \nSetup Rescue for scenario zentrav 'Moor-Z2'\n"
            "Installation package only for restore failure updating scenario 'Moor-Z2'");
  EXPECT_EQ(window_->statusLine(), "");
  EXPECT_EQ(SendMessageA(GetDlgItem(window_->hwnd(), kFileCountBar), PBM_GETPOS, 0, 0), 1);
  const std::string log = installLog();  // one line per printed text
  const size_t retry = log.find(") because it's path not found ,retry\r\n");
  EXPECT_LT(log.find(") Creating directory \r\n", retry), log.find(") Copy file \r\n", retry)) << log;
  EXPECT_EQ(window_->colourOf(" Failure copy "), 4);
}

TEST_F(RescuePackage, CopyErrorsAskTryAgainContinueOrCancelAndPathsNeverOverflow) {
  addFile("a.txt", "a", "a.txt");
  addFile("gone.txt", "", "gone.txt");
  DeleteFileA((g_base + "\\root\\gone.txt").c_str());  // no source: error 2
  addFile("b.txt", "b", std::string(240, 'n') + ".txt");  // no room for the path: refused
  addFile("after.txt", "never copied", "after.txt");
  g_folderAnswers = {g_base + "\\empty"};
  boxes_.answer({IDYES, IDOK, IDTRYAGAIN, IDCONTINUE, IDCANCEL});
  saveRescuePackage();

  const std::string pack = g_base + "\\empty\\pack\\";
  const std::string missing = " Error during copyfile : (" + g_base + "\\root\\gone.txt)-->(" + pack +
                              "\\gone.txt)" + windowsErrorText(2);
  const auto boxes = boxes_.boxes();
  ASSERT_EQ(boxes.size(), 5u);
  EXPECT_EQ(boxes[2].text, missing);
  EXPECT_EQ(boxes[3].text, missing);  // Try Again: the same copy once more
  EXPECT_EQ(boxes[2].owner, nullptr);
  EXPECT_EQ(boxes[2].caption, "<none>");
  EXPECT_EQ(boxes[2].flags, UINT(MB_ICONERROR | MB_SYSTEMMODAL | MB_CANCELTRYCONTINUE));
  EXPECT_EQ(boxes[4].text.find(" Error during copyfile : (" + g_base + "\\root\\b.txt)-->(" + pack), 0u);
  EXPECT_NE(boxes[4].text.find(")" + windowsErrorText(ERROR_FILENAME_EXCED_RANGE)), std::string::npos);
  EXPECT_EQ(window_->colourOf(" Error during copyfile"), 4);
  EXPECT_EQ(readWholeFile(pack + "a.txt"), "a");
  for (const char* absent : {"after.txt", "setup.exe", "readme.txt"})  // Cancel: nothing more
    EXPECT_FALSE(std::filesystem::exists(pack + absent)) << absent;
  EXPECT_TRUE(g_opened.empty());
  EXPECT_EQ(window_->statusLine(), "Making of local's installation ...");
}

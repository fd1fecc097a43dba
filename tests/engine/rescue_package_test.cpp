// The rescue package with scripted answers, on real files: the questions and the
// empty-directory loop, the copies with their retry and error box, setup.exe and the
// readme, the closing notices, and a package made of related files alone.
#include <gtest/gtest.h>

#include <deque>
#include <fstream>
#include <sstream>

#include "app/folder_browser.h"
#include "app/shell_open.h"
#include "download/file_record.h"
#include "download/install_descriptor.h"
#include "engine/engine_utilities.h"
#include "engine/rescue_package.h"
#include "support/engine_window.h"
#include "support/scripted_message_box.h"

namespace {

std::string g_base;                       // this test's directory
std::deque<std::string> g_folderAnswers;  // "" cancels the browser
std::vector<std::string> g_folderTitles, g_opened;

bool answerFolder(HWND owner, const char* title, UINT flags, char* path) {
  EXPECT_EQ(owner, g_mainWindow);
  EXPECT_EQ(flags, 0x51u);
  g_folderTitles.push_back(title);
  if (g_folderAnswers.empty()) {  // a fault would ask for ever: end it with an empty directory
    ADD_FAILURE() << "unexpected folder request";
    static int unexpected = 0;
    if (++unexpected > 10) std::abort();  // the directory is never taken: stop here
    strcpy(path, (g_base + "\\empty").c_str());
    return true;
  }
  std::string answer = g_folderAnswers.front();
  g_folderAnswers.pop_front();
  strcpy(path, answer.c_str());
  return !answer.empty();
}

bool recordOpen(HWND owner, const char* verb, const char* path) {
  EXPECT_EQ(owner, nullptr);
  g_opened.push_back(std::string(verb) + " " + path);
  return true;
}

void writeFile(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

std::string readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream bytes;
  bytes << in.rdbuf();
  return in ? bytes.str() : "<missing>";
}

bool exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

std::string resource458() {
  HRSRC found = FindResourceA(nullptr, MAKEINTRESOURCEA(458), MAKEINTRESOURCEA(10));
  return std::string(static_cast<const char*>(LockResource(LoadResource(nullptr, found))),
                     SizeofResource(nullptr, found));
}

class RescuePackage : public testing::Test {
 protected:
  void SetUp() override {
    static const std::string temp = [] {
      char path[MAX_PATH] = "";
      GetTempPathA(sizeof path, path);
      return std::string(path);
    }();
    g_base = temp + "vm-rescue-" + std::to_string(GetCurrentProcessId()) + "-" +
             testing::UnitTest::GetInstance()->current_test_info()->name();
    for (const char* sub : {"", "\\root", "\\root\\data", "\\root\\data\\maps", "\\installed", "\\full",
                            "\\dots", "\\empty", "\\tmp"})
      CreateDirectoryA((g_base + sub).c_str(), nullptr);
    SetEnvironmentVariableA("TMP", (g_base + "\\tmp").c_str());
    writeFile(g_base + "\\full\\keep.txt", "x");
    writeFile(g_base + "\\dots\\.hidden", "x");
    strcpy(g_productName, "Moor-Z2");
    g_fileList = nullptr;
    g_directoryList = nullptr;
    g_folderAnswers.clear();
    g_folderTitles.clear();
    g_opened.clear();
    setFolderAnswerer(&answerFolder);
    setShellOpener(&recordOpen);
    window_ = new EngineWindow;
  }
  void TearDown() override {
    delete window_;
    setFolderAnswerer(nullptr);
    setShellOpener(nullptr);
  }

  // A manifest file of the package in the download root.
  void addPackageFile(const std::string& name, const std::string& bytes) {
    writeFile(g_base + "\\root\\" + name, bytes);
    addRecord(g_base + "\\root\\" + name, name);
  }
  void addRecord(const std::string& localPath, const std::string& name) {
    auto* record = new FileRecord{};
    strcpy(record->localPath, localPath.c_str());
    strcpy(record->name, name.c_str());
    g_fileList = listAppend(g_fileList, record);
  }
  void addDirectory(const char* name) { g_directoryList = listAppend(g_directoryList, strdup(name)); }

  std::vector<std::string> boxTexts() const {
    std::vector<std::string> texts;
    for (const RecordedBox& box : boxes_.boxes()) texts.push_back(box.text);
    return texts;
  }

  EngineWindow* window_ = nullptr;
  ScriptedMessageBoxes boxes_;
};

const char kWant[] = "Want to save a installation into empty directory  ?";
const char kChoose[] =
    "You should choose a empty directory for future local mode installation ! IT'S REQUIRED !! \n"
    "Important for future restore a failure update !!!";
const char kNotEmpty[] = "Directory not empty !";
const char kDontRun[] =
    "DON'T RUN SETUP.EXE BECAUSE SCENARIO IS ALREADY INSTALLED !!\nThank you download this product";

}  // namespace

TEST_F(RescuePackage, NoWritesNothingAndSaysSoInRed) {
  addPackageFile("a.txt", "a");
  boxes_.answer({IDNO});
  saveRescuePackage();
  ASSERT_EQ(boxTexts(), std::vector<std::string>{kWant});
  EXPECT_EQ(boxes_.boxes()[0].caption, "Installer Confirmation");
  EXPECT_TRUE(g_folderTitles.empty());
  EXPECT_EQ(window_->colourOf("User have not select a 'directory' for future installation"), 4);
  EXPECT_FALSE(exists(g_base + "\\empty\\pack"));
  EXPECT_EQ(window_->statusLine(), "");
}

TEST_F(RescuePackage, EmptyDirectoryLoopThenTheWholePackageWithSetupAndReadme) {
  addDirectory("data\\");
  addDirectory("data\\maps\\");
  addPackageFile("a.txt", "first file");
  addPackageFile("data\\b.bin", std::string(300000, '\xB0') + "end");
  addPackageFile("data\\maps\\c.map", "");
  // A related file whose directory is in no list: the copy finds no path, creates it, retries.
  writeFile(g_base + "\\installed\\extra.cfg", "LEVEL=3\r\n");
  addRecord(g_base + "\\installed\\extra.cfg", "extra\\extra.cfg");

  const std::string chosen = g_base + "\\dots";
  g_folderAnswers = {g_base + "\\full", "", chosen};
  boxes_.answer({IDYES, IDOK, IDOK, IDOK, IDOK, IDOK, IDOK});
  saveRescuePackage();

  const std::string keep = "Please Keep directory '" + chosen +
                           "' for restore older installation if failure or bug future update\n"
                           "DON'T RUN SETUP.EXE BECAUSE SCENARIO IS ALREADY INSTALLED";
  EXPECT_EQ(boxTexts(), (std::vector<std::string>{kWant, kChoose, kNotEmpty, kChoose, kChoose, keep, kDontRun}));
  const auto boxes = boxes_.boxes();
  ASSERT_EQ(boxes.size(), 7u);
  for (int i : {1, 2, 3, 4}) {
    EXPECT_EQ(boxes[i].owner, window_->hwnd());
    EXPECT_EQ(boxes[i].caption, "velmorin");
    EXPECT_EQ(boxes[i].flags, UINT(MB_ICONERROR | MB_SYSTEMMODAL));
  }
  EXPECT_EQ(boxes[5].owner, nullptr);
  EXPECT_EQ(boxes[5].caption, "NOTICE !!!!!!!");
  EXPECT_EQ(boxes[5].flags, UINT(MB_ICONWARNING | MB_SYSTEMMODAL));
  EXPECT_EQ(boxes[6].flags, UINT(MB_ICONINFORMATION | MB_SYSTEMMODAL));
  EXPECT_EQ(g_folderTitles.size(), 3u);
  EXPECT_EQ(g_folderTitles[0], "Select directory for future local mode installation  !");
  EXPECT_EQ(g_opened, std::vector<std::string>{"Open " + chosen});

  const std::string pack = chosen + "\\pack\\";
  EXPECT_EQ(readFile(pack + "a.txt"), "first file");
  EXPECT_EQ(readFile(pack + "data\\b.bin"), std::string(300000, '\xB0') + "end");
  EXPECT_EQ(readFile(pack + "data\\maps\\c.map"), "");
  EXPECT_EQ(readFile(pack + "extra\\extra.cfg"), "LEVEL=3\r\n");
  EXPECT_EQ(readFile(pack + "setup.exe"), resource458());
  EXPECT_GT(resource458().size(), 100000u);
  EXPECT_EQ(readFile(pack + "readme.txt"),
            "Welcome ! \nSetup Rescue for scenario zentrav 'Moor-Z2'\n"
            "Installation package only for restore failure updating scenario 'Moor-Z2'");
  EXPECT_EQ(window_->statusLine(), "");
  EXPECT_EQ(SendMessageA(GetDlgItem(window_->hwnd(), kFileCountBar), PBM_GETPOS, 0, 0), 3);

  const std::string source = g_base + "\\installed\\extra.cfg";
  const std::string copied = pack + "\\extra\\extra.cfg";
  const std::string console = loggedConsoleText();
  EXPECT_NE(console.find("Creating directory  " + pack + "\\data\\ OK \nCreating directory  " + pack +
                         "\\data\\maps\\ OK \nCopy file " + g_base + "\\root\\a.txt --> " + pack +
                         "\\a.txt...\n"),
            std::string::npos)
      << console;
  EXPECT_NE(console.find("Copy file " + source + " --> " + copied +
                         "... Failure copy because it's path not found ,retryCreating directory  " + pack +
                         "\\extra\\ OK \n\n"),
            std::string::npos)
      << console;
}

TEST_F(RescuePackage, CopyErrorsAskTryAgainContinueOrCancelAndPathsNeverOverflow) {
  addPackageFile("a.txt", "a");
  addRecord(g_base + "\\root\\gone.txt", "gone.txt");                 // no source: error 2
  addRecord(g_base + "\\root\\a.txt", std::string(240, 'n') + ".txt");  // no room: refused
  addPackageFile("after.txt", "never copied");
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
  EXPECT_EQ(boxes[4].text.find(" Error during copyfile : (" + g_base + "\\root\\a.txt)-->(" + pack), 0u);
  EXPECT_NE(boxes[4].text.find(")" + windowsErrorText(ERROR_FILENAME_EXCED_RANGE)), std::string::npos);
  EXPECT_EQ(window_->colourOf(" Error during copyfile"), 4);

  EXPECT_EQ(readFile(pack + "a.txt"), "a");
  EXPECT_FALSE(exists(pack + "after.txt"));  // Cancel stops at once: nothing after it
  EXPECT_FALSE(exists(pack + "setup.exe"));
  EXPECT_FALSE(exists(pack + "readme.txt"));
  EXPECT_TRUE(g_opened.empty());
  EXPECT_EQ(window_->statusLine(), "Making of local's installation ...");
}

TEST_F(RescuePackage, WithoutManifestOnlyTheRelatedFilesSetupAndReadme) {
  writeFile(g_base + "\\installed\\extra.cfg", "extra");
  addRecord(g_base + "\\installed\\extra.cfg", "extra.cfg");
  g_folderAnswers = {g_base + "\\empty"};
  boxes_.answer({IDYES, IDOK, IDOK, IDOK});
  saveRescuePackage();

  WIN32_FIND_DATAA entry;
  HANDLE search = FindFirstFileA((g_base + "\\empty\\pack\\*").c_str(), &entry);
  ASSERT_NE(search, INVALID_HANDLE_VALUE);
  std::vector<std::string> names;
  do {
    if (entry.cFileName[0] != '.') names.push_back(entry.cFileName);
  } while (FindNextFileA(search, &entry));
  FindClose(search);
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{"extra.cfg", "readme.txt", "setup.exe"}));
}

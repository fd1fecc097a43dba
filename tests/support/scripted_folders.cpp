#include "support/scripted_folders.h"

#include <gtest/gtest.h>

#include <cstring>
#include <deque>
#include <mutex>

#include "services/folder_browser.h"
#include "support/scripted_message_box.h"

namespace {
// The browser is opened from worker threads of the code under test.
std::mutex g_lock;
std::deque<std::string> g_answers;
std::vector<RecordedBrowse> g_calls;
}  // namespace

ScriptedFolders::ScriptedFolders() {
  std::lock_guard<std::mutex> guard(g_lock);
  g_answers.clear();
  g_calls.clear();
  setFolderAnswerer(&ScriptedFolders::answerBrowse);
}

ScriptedFolders::~ScriptedFolders() { setFolderAnswerer(nullptr); }

void ScriptedFolders::answer(std::initializer_list<std::string> folders) {
  std::lock_guard<std::mutex> guard(g_lock);
  g_answers.insert(g_answers.end(), folders.begin(), folders.end());
}

std::vector<RecordedBrowse> ScriptedFolders::calls() const {
  std::lock_guard<std::mutex> guard(g_lock);
  return g_calls;
}

bool ScriptedFolders::answerBrowse(HWND owner, const char* title, UINT flags, char* path) {
  std::lock_guard<std::mutex> guard(g_lock);
  g_calls.push_back({owner, title ? title : "", flags, takeAnswerOrder()});
  path[0] = '\0';
  if (g_answers.empty()) {
    ADD_FAILURE() << "unexpected folder browser: " << (title ? title : "");
    return false;
  }
  std::string folder = g_answers.front();
  g_answers.pop_front();
  if (folder.empty() || folder.size() >= MAX_PATH) return false;
  std::memcpy(path, folder.c_str(), folder.size() + 1);
  return true;
}

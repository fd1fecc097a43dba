// A scripted answerer for the program's folder browser: records every time the code
// under test opens it and answers with the next scripted folder ("" cancels).
#pragma once
#include <windows.h>

#include <initializer_list>
#include <string>
#include <vector>

struct RecordedBrowse {
  HWND owner;
  std::string title;
  UINT flags;
  long order;  // takeAnswerOrder (scripted_message_box.h) when it was opened
};

class ScriptedFolders {
 public:
  static constexpr const char* kCancel = "";
  ScriptedFolders();  // installs itself; the destructor restores the shell's browser
  ~ScriptedFolders();
  ScriptedFolders(const ScriptedFolders&) = delete;
  ScriptedFolders& operator=(const ScriptedFolders&) = delete;
  // Queued in order; a browser opened with none left fails the test and is cancelled.
  void answer(std::initializer_list<std::string> folders);
  std::vector<RecordedBrowse> calls() const;

 private:
  static bool answerBrowse(HWND owner, const char* title, UINT flags, char* path);
};

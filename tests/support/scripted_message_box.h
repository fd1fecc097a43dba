// A scripted answerer for the program's message boxes: records every box that the
// code under test shows and answers with the next scripted button.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

struct RecordedBox {
  HWND owner;
  std::string text;
  std::string caption;  // "<none>" when the caller passed no caption
  UINT flags;
  bool byStandingAnswer = false;  // answered by answerAlways, not by the queue
  long order = 0;                 // see takeAnswerOrder
};

// Numbers every box and folder browser that a scripted answerer meets, in the order
// they came, so a test can tell which came first.
long takeAnswerOrder();

class ScriptedMessageBoxes {
 public:
  // Installs itself as the answerer; the destructor restores the real boxes.
  ScriptedMessageBoxes();
  ~ScriptedMessageBoxes();
  ScriptedMessageBoxes(const ScriptedMessageBoxes&) = delete;
  ScriptedMessageBoxes& operator=(const ScriptedMessageBoxes&) = delete;

  // Queues the answers, in order. A box shown with no answer left fails the test
  // and is answered with IDCANCEL.
  void answer(std::initializer_list<int> buttons);
  // Every box whose text starts with `prefix` gets `button`, before the queue is
  // asked (for a box that a test expects but does not examine).
  void answerAlways(const std::string& prefix, int button);
  std::vector<RecordedBox> boxes() const;
  size_t count() const;
  size_t unanswered() const;  // scripted answers not used yet

 private:
  static int answerBox(HWND owner, const char* text, const char* caption, UINT flags);
};

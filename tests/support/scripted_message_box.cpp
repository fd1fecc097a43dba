#include "support/scripted_message_box.h"

#include <gtest/gtest.h>

#include <atomic>
#include <deque>
#include <mutex>

#include "services/message_box.h"

namespace {
// Boxes may be shown from worker threads of the code under test.
std::mutex g_lock;
std::deque<int> g_answers;
std::vector<RecordedBox> g_boxes;
std::vector<std::pair<std::string, int>> g_standing;
std::atomic<long> g_order{0};
}  // namespace

long takeAnswerOrder() { return ++g_order; }

ScriptedMessageBoxes::ScriptedMessageBoxes() {
  std::lock_guard<std::mutex> guard(g_lock);
  g_answers.clear();
  g_boxes.clear();
  g_standing.clear();
  setMessageBoxAnswerer(&ScriptedMessageBoxes::answerBox);
}

ScriptedMessageBoxes::~ScriptedMessageBoxes() { setMessageBoxAnswerer(nullptr); }

void ScriptedMessageBoxes::answer(std::initializer_list<int> buttons) {
  std::lock_guard<std::mutex> guard(g_lock);
  g_answers.insert(g_answers.end(), buttons.begin(), buttons.end());
}

void ScriptedMessageBoxes::answerAlways(const std::string& prefix, int button) {
  std::lock_guard<std::mutex> guard(g_lock);
  g_standing.emplace_back(prefix, button);
}

std::vector<RecordedBox> ScriptedMessageBoxes::boxes() const {
  std::lock_guard<std::mutex> guard(g_lock);
  return g_boxes;
}

size_t ScriptedMessageBoxes::count() const {
  std::lock_guard<std::mutex> guard(g_lock);
  return g_boxes.size();
}

size_t ScriptedMessageBoxes::unanswered() const {
  std::lock_guard<std::mutex> guard(g_lock);
  return g_answers.size();
}

int ScriptedMessageBoxes::answerBox(HWND owner, const char* text, const char* caption,
                                    UINT flags) {
  std::lock_guard<std::mutex> guard(g_lock);
  g_boxes.push_back({owner, text ? text : "", caption ? caption : "<none>", flags, false,
                     takeAnswerOrder()});
  for (const auto& [prefix, button] : g_standing) {
    if (g_boxes.back().text.compare(0, prefix.size(), prefix) == 0) {
      g_boxes.back().byStandingAnswer = true;
      return button;
    }
  }
  if (g_answers.empty()) {
    ADD_FAILURE() << "unexpected message box: " << (text ? text : "");
    return IDCANCEL;
  }
  int button = g_answers.front();
  g_answers.pop_front();
  return button;
}

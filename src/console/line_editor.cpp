#include "console/line_editor.h"

namespace {
bool isDigit(int key) { return key >= '0' && key <= '9'; }
bool isLower(int key) { return key >= 'a' && key <= 'z'; }
}  // namespace

int filterKey(int key, int filter) {
  if ((key >= 0 && key <= kKeyHome) || key == kKeyBackspace || key == kKeyEnter ||
      key == kKeyEscape)
    return key;
  switch (filter) {
    case 2:
      return isDigit(key) ? key : 0;
    case 3:
      if (isLower(key)) key -= 'a' - 'A';
      return isDigit(key) || (key >= 'A' && key <= 'F') ? key : 0;
    case 4:
      return isLower(key) ? key - ('a' - 'A') : key;
    default:
      return key;
  }
}

LineEditor::LineEditor(int width, const char* initial) {
  if (width < 0) width = 0;
  line_.assign(static_cast<std::size_t>(width), ' ');
  for (int i = 0; initial != nullptr && i < width && initial[i] != '\0'; ++i) {
    unsigned char c = static_cast<unsigned char>(initial[i]);
    line_[static_cast<std::size_t>(i)] = c < 32 ? ' ' : static_cast<char>(c);
  }
}

int LineEditor::lastNonSpace() const {
  std::size_t last = line_.find_last_not_of(' ');
  return last == std::string::npos ? 0 : static_cast<int>(last);
}

std::string LineEditor::result() const {
  if (line_.empty()) return std::string();
  return line_.substr(0, static_cast<std::size_t>(lastNonSpace()) + 1);
}

LineEditor::Effect LineEditor::apply(int key) {
  const int width = static_cast<int>(line_.size());
  const int last = lastNonSpace();
  int& p = position_;
  switch (key) {
    case kKeyLeft:
      if (p > 0) --p;
      return Effect::None;
    case kKeyRight:
      if (p <= last && p < width) ++p;
      return Effect::None;
    case kKeyHome:
      p = 0;
      return Effect::None;
    case kKeyEnd:
      p = last;
      return Effect::None;
    case kKeyInsert:
      insert_ = !insert_;
      return Effect::None;
    case kKeyDelete:
      if (width > 0 && last >= p) {
        line_.erase(static_cast<std::size_t>(p), 1);
        line_.insert(static_cast<std::size_t>(last), 1, ' ');
      }
      return Effect::Reprint;
    case kKeyBackspace: {
      if (p == 0) return Effect::None;
      Effect effect = Effect::Reprint;
      if (p - 1 == last) {
        line_[static_cast<std::size_t>(last)] = ' ';
        effect = Effect::EraseCell;
      } else if (p <= last) {
        line_.erase(static_cast<std::size_t>(p - 1), 1);
        line_.insert(static_cast<std::size_t>(last), 1, ' ');
      }
      // Beyond the text (p - 1 > last) the character left of p is a space already:
      // only the position moves, no character elsewhere is touched.
      --p;
      return effect;
    }
    case kKeyEnter:
      return Effect::Accept;
    case kKeyEscape:
      return Effect::Abandon;
    default:
      break;
  }
  if (key < 32 || p >= width) return Effect::None;
  if (p < last && insert_) {
    line_.insert(static_cast<std::size_t>(p), 1, static_cast<char>(key));
    line_.pop_back();  // the last character is lost
  } else {
    line_[static_cast<std::size_t>(p)] = static_cast<char>(key);
  }
  ++p;
  return Effect::Reprint;
}

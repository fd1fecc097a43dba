// Drives the console's cell model and line editor with arbitrary operations: every
// write, scroll, font change, refresh and selection must stay inside the grid and
// the surfaces, whatever the cursor, the box or the window size.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "console/line_editor.h"
#include "console/screen_model.h"

namespace {

class Input {
 public:
  Input(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
  bool more() const { return at_ < size_; }
  int byte() { return at_ < size_ ? data_[at_++] : 0; }
  int word() { return byte() | byte() << 8; }

 private:
  const std::uint8_t* data_;
  std::size_t size_;
  std::size_t at_ = 0;
};

void check(bool condition) {
  if (!condition) std::abort();
}

void runLineEditor(Input& in) {
  int width = in.byte() % 40;
  int filter = in.byte() % 6;
  char initial[48] = {};
  for (int i = 0; i < 47 && in.more(); ++i) {
    initial[i] = static_cast<char>(in.byte());
    if (initial[i] == '\0') break;
  }
  LineEditor editor(width, initial);
  for (int keys = 0; keys < 64 && in.more(); ++keys) {
    editor.apply(filterKey(in.byte(), filter));
    check(static_cast<int>(editor.line().size()) == width);
    check(editor.position() >= 0 && editor.position() <= width);
  }
  check(static_cast<int>(editor.result().size()) <= width);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  Input in(data, size);
  if (in.byte() % 4 == 0) {
    runLineEditor(in);
    return 0;
  }
  // Surfaces of a fixed size; the grid may be sized from a different client area.
  ScreenModel m;
  std::memcpy(m.palette, kDefaultPalette, kPaletteBytes);
  m.surfaceWidth = 4 * (1 + in.byte() % 64);
  m.surfaceHeight = 1 + in.byte() % 200;
  std::vector<std::uint8_t> one(static_cast<std::size_t>(m.surfaceWidth) * m.surfaceHeight * 3);
  std::vector<std::uint8_t> two(one.size());
  m.bits1 = one.data();
  m.bits2 = two.data();
  m.selectFont(1 + in.byte() % 2, in.byte() * 2, in.byte() * 2);
  for (int steps = 0; steps < 256 && in.more(); ++steps) {
    switch (in.byte() % 12) {
      case 0:
        m.writeByte(static_cast<std::uint8_t>(in.byte()));
        break;
      case 1: {
        char text[33] = {};
        int length = in.byte() % 32;
        for (int i = 0; i < length; ++i) text[i] = static_cast<char>(in.byte() | 1);
        m.writeText(text);
        break;
      }
      case 2:
        m.scroll(in.byte(), in.byte(), in.byte(), in.byte());
        break;
      case 3:
        m.cursorCol = in.byte();
        m.cursorRow = in.word();
        break;
      case 4:
        m.selectFont(in.byte() % 4, in.byte() * 5, in.byte() * 3);
        break;
      case 5:
        m.putCell(in.byte(), in.byte(), static_cast<Cell>(in.word()));
        break;
      case 6:
        m.refresh();
        break;
      case 7: {
        m.selStart = in.byte() % 8 == 0 ? -1 : in.word();
        m.selEnd = in.word();
        m.dragging = in.byte() & 1;
        CellBox box{};
        std::string text = m.selectionText();
        if (m.selectionBox(box)) {
          check(box.left >= 0 && box.right < m.cols && box.top >= 0 && box.bottom < m.rows);
          check(static_cast<int>(text.size()) + 1 <= selectionBlockBytes(box));
        } else {
          check(text.empty());
        }
        break;
      }
      case 8: {
        int position = m.pointToCell(in.word(), in.word());
        if (position >= 0) check((position & 0xFFFF) < m.cols && (position >> 16) < m.rows);
        break;
      }
      case 9:
        m.attribute = static_cast<std::uint8_t>(in.byte());
        m.clear();
        break;
      case 10:
        m.freeze ^= 1 + in.byte() % 2;
        m.markAllForRedraw();
        break;
      default: {
        m.setCursorShape(in.byte(), in.byte());
        CursorMark mark{};
        m.cursorPhase = 0;
        if (m.cursorMark(mark)) check(mark.x >= 0 && mark.x < m.cols * m.glyphWidth);
        break;
      }
    }
    if (m.hasGrid()) check(m.cols * m.rows <= kMaxCells);
  }
  return 0;
}

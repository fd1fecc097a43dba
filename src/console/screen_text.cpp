#include <algorithm>
#include <cstring>

#include "console/screen_model.h"
#include "console/vga_glyphs.h"

void ScreenModel::writeText(const char* text) {
  if (text == nullptr) return;
  for (const char* p = text; *p != '\0'; ++p) writeByte(static_cast<std::uint8_t>(*p));
}

void ScreenModel::writeByte(std::uint8_t byte) {
  if (!hasGrid()) return;
  // setCursor takes any position; bring a stray cursor back into the grid so the
  // write lands on a cell of this screen.
  cursorCol = std::clamp(cursorCol, 0, cols - 1);
  cursorRow = std::clamp(cursorRow, 0, rows - 1);
  if (byte == '\n') {
    newLine();
    return;
  }
  if (byte == '\r') return;  // no carriage return: the text goes on at the cursor
  std::uint8_t code = oemTable ? oemTable[byte] : byte;
  cells[cellIndex(cursorCol, cursorRow)] = static_cast<Cell>(attribute << 8 | code);
  int next = static_cast<std::uint16_t>(cursorCol + 1 + cursorRow * cols);
  cursorCol = next % cols;
  cursorRow = next / cols;
  if (cursorRow >= rows) {
    scroll(0, cols - 1, 0, rows - 1);
    cursorRow -= 1;
    cursorCol = 0;
  }
}

void ScreenModel::newLine() {
  if (!hasGrid()) return;
  cursorRow = std::clamp(cursorRow, 0, rows - 1) + 1;
  cursorCol = 0;
  if (cursorRow >= rows) {
    scroll(0, cols - 1, 0, rows - 1);
    cursorRow -= 1;
  }
}

void ScreenModel::scroll(int left, int right, int top, int bottom) {
  if (!hasGrid() || right < left) return;
  if (left >= cols || top >= rows || left < 0 || top < 0) return;
  right = std::min(right, cols - 1);
  bottom = std::min(bottom, rows - 1);
  if (bottom < 0) return;
  std::uint8_t fill = 0;
  if (bottom >= top) {
    scratch = cells;
    fill = static_cast<std::uint8_t>(cells[bottom * cols + right] >> 8);
    for (int row = top; row < bottom; ++row)
      for (int column = left; column <= right; ++column)
        cells[row * cols + column] = scratch[(row + 1) * cols + column];
  }
  for (int column = left; column <= right; ++column)
    cells[bottom * cols + column] = static_cast<Cell>(fill << 8 | ' ');
}

void ScreenModel::clear() {
  std::fill(cells.begin(), cells.end(), static_cast<Cell>(attribute << 8 | ' '));
  cursorCol = 0;
  cursorRow = 0;
}

bool ScreenModel::putCell(int column, int row, Cell cell) {
  if (cells.empty() || column < 0 || row < 0 || column >= cols || row >= rows) return false;
  cells[cellIndex(column, row)] = cell;
  return true;
}

void ScreenModel::setBackColor(int colour) {
  attribute = static_cast<std::uint8_t>((attribute & 0x0F) | (colour << 4));
}

void ScreenModel::setTextColor(int colour) {
  attribute = static_cast<std::uint8_t>((attribute & 0xF0) | (colour & 0x0F));
}

int ScreenModel::setCursorShape(int firstLine, int lastLine) {
  if (glyphs == nullptr) return -2;
  if (frozen()) return -1;
  cursorFirst = static_cast<std::uint8_t>((firstLine & 0xFF) % glyphHeight);
  cursorLast = static_cast<std::uint8_t>((lastLine & 0xFF) % glyphHeight);
  return 0;
}

void ScreenModel::releaseGrid() {
  for (auto* array : {&cells, &shown, &snapshot, &scratch}) {
    array->clear();
    array->shrink_to_fit();
  }
  cols = 0;
  rows = 0;
}

int ScreenModel::selectFont(int newFont, int clientWidth, int clientHeight) {
  if (frozen()) return 2;
  releaseGrid();
  if (newFont == 0) {
    glyphs = nullptr;
    font = 0;
    glyphWidth = glyphHeight = 0;
    cursorFirst = cursorLast = 0;
  }
  if (newFont == 1) {
    glyphs = kVgaGlyphs8x8;
    font = 1;
    glyphWidth = glyphHeight = 8;
    cursorFirst = 6;
    cursorLast = 7;
  } else if (newFont == 2) {
    glyphs = kVgaGlyphs8x16;
    font = 2;
    glyphWidth = 8;
    glyphHeight = 16;
    cursorFirst = 14;
    cursorLast = 15;
  }
  if (glyphs == nullptr) {
    clearSurfaces();  // a screen without a font shows nothing, not its last picture
    return -1;
  }
  cols = std::max(clientWidth, 0) / glyphWidth;
  rows = std::max(clientHeight, 0) / glyphHeight;
  // Cell indices are 16-bit: a larger grid would wrap onto its own first cells.
  if (cols > 0 && cols * rows > kMaxCells) rows = kMaxCells / cols;
  if (cols > kMaxCells) cols = kMaxCells;
  std::size_t count = static_cast<std::size_t>(cols) * static_cast<std::size_t>(rows);
  cells.assign(count, 0);
  shown.assign(count, 0);
  snapshot.assign(count, 0);
  scratch.assign(count, 0);
  clearSurfaces();
  markAllForRedraw();
  return 1;
}

void ScreenModel::markAllForRedraw() {
  for (std::size_t i = 0; i < cells.size(); ++i) shown[i] = static_cast<Cell>(~cells[i]);
}

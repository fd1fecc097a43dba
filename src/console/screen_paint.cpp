#include <cstring>

#include "console/screen_model.h"

void ScreenModel::clearSurfaces() {
  std::size_t bytes = static_cast<std::size_t>(surfaceWidth) * surfaceHeight * 3;
  if (bits1) std::memset(bits1, 0, bytes);
  if (bits2) std::memset(bits2, 0, bytes);
}

void ScreenModel::drawCell(std::uint8_t* bits, Cell value, int column, int row,
                           bool inverted) const {
  if (bits == nullptr || glyphs == nullptr) return;
  // The surfaces keep the size they were built with; a grid sized later from a
  // larger client area must not draw past them.
  if ((column + 1) * glyphWidth > surfaceWidth || (row + 1) * glyphHeight > surfaceHeight)
    return;
  PixelColour colours[2] = {drawnColour(palette, (value >> 12) & 7, colorMode),
                            drawnColour(palette, (value >> 8) & 15, colorMode)};
  if (inverted) {
    for (PixelColour& c : colours) {
      c.blue = static_cast<std::uint8_t>(~c.blue);
      c.green = static_cast<std::uint8_t>(~c.green);
      c.red = static_cast<std::uint8_t>(~c.red);
    }
  }
  const std::uint8_t* glyph = glyphs + (value & 0xFF) * glyphHeight;
  for (int i = 0; i < glyphHeight; ++i) {
    int pixelRow = surfaceHeight - row * glyphHeight - i - 1;
    std::uint8_t* p =
        bits + (static_cast<std::size_t>(pixelRow) * surfaceWidth + column * glyphWidth) * 3;
    unsigned pattern = glyph[i];
    for (int j = 0; j < glyphWidth; ++j, p += 3) {
      const PixelColour& c = colours[(pattern >> (7 - j)) & 1];
      p[0] = c.blue;
      p[1] = c.green;
      p[2] = c.red;
    }
  }
}

int ScreenModel::refresh() {
  int drawn = 0;
  if (hasGrid() && !cells.empty()) {
    const std::vector<Cell>& source = frozen() ? snapshot : cells;
    CellBox box{};
    bool invertBox = dragging && selectionBox(box);
    for (int row = 0; row < rows; ++row) {
      for (int column = 0; column < cols; ++column) {
        std::size_t i = static_cast<std::size_t>(row) * cols + column;
        Cell value = source[i];
        if (value == shown[i]) continue;
        shown[i] = value;
        snapshot[i] = value;
        bool inverted = invertBox && column >= box.left && column <= box.right &&
                        row >= box.top && row <= box.bottom;
        drawCell(bits1, value, column, row, inverted);
        if ((value & kBlinkBit) == 0) drawCell(bits2, value, column, row, inverted);
        ++drawn;
      }
    }
  }
  ++blinkCounter;
  cursorPhase ^= 1;
  return drawn;
}

bool ScreenModel::cursorMark(CursorMark& mark) {
  if (cursorPhase != 0 || cells.empty()) return false;
  if (!frozen()) {
    shownCursorCol = cursorCol;
    shownCursorRow = cursorRow;
  }
  if (shownCursorCol < 0 || shownCursorRow < 0 || shownCursorCol >= cols ||
      shownCursorRow >= rows)
    return false;
  Cell under = cells[static_cast<std::size_t>(shownCursorRow) * cols + shownCursorCol];
  mark.x = shownCursorCol * glyphWidth;
  mark.y = shownCursorRow * glyphHeight;
  mark.width = glyphWidth;
  mark.firstLine = cursorFirst;
  mark.lastLine = cursorLast;
  mark.colour = drawnColour(palette, (under >> 8) & 15, colorMode);
  return true;
}

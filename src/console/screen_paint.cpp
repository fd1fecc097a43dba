#include <cstring>

#include "console/screen_model.h"

namespace {

// For every glyph row byte, the mask has 0xFF in each byte of a foreground pixel,
// so a row of 8 pixels is drawn with three and/or operations on 64-bit words
// instead of eight pixel choices.
struct RowMasks {
  RowWords rows[256];
  RowMasks() {
    for (int pattern = 0; pattern < 256; ++pattern) {
      std::uint8_t bytes[24];
      for (int j = 0; j < 8; ++j)
        std::memset(bytes + j * 3, (pattern >> (7 - j)) & 1 ? 0xFF : 0x00, 3);
      std::memcpy(rows[pattern].word, bytes, 24);
    }
  }
};

const RowMasks kRowMasks;

RowWords repeated(const PixelColour& colour) {
  std::uint8_t bytes[24];
  for (int j = 0; j < 8; ++j) {
    bytes[j * 3] = colour.blue;
    bytes[j * 3 + 1] = colour.green;
    bytes[j * 3 + 2] = colour.red;
  }
  RowWords words;
  std::memcpy(words.word, bytes, 24);
  return words;
}

}  // namespace

void ScreenModel::clearSurfaces() {
  std::size_t bytes = static_cast<std::size_t>(surfaceWidth) * surfaceHeight * 3;
  if (bits1) std::memset(bits1, 0, bytes);
  if (bits2) std::memset(bits2, 0, bytes);
}

namespace {

// A changed cell of the text row being drawn, with its colours made ready.
struct PendingCell {
  int column;
  bool blinking;
  const std::uint8_t* glyph;
  RowWords fore, back;
};

void drawRow(std::uint8_t* pixelRow, const PendingCell& cell, std::uint8_t glyphRow) {
  const RowWords& mask = kRowMasks.rows[glyphRow];
  std::uint8_t* out = pixelRow + cell.column * 24;
  // Three word stores straight into the surface (a 24-byte copy from a local array
  // stalls on reading back what was just stored).
  for (int k = 0; k < 3; ++k) {
    std::uint64_t word = (cell.fore.word[k] & mask.word[k]) | (cell.back.word[k] & ~mask.word[k]);
    std::memcpy(out + k * 8, &word, 8);
  }
}

}  // namespace

// Both glyph sets are 8 pixels wide. The changed cells of a text row are drawn one
// pixel row at a time, so the writes run along the surface's memory instead of
// jumping a whole pixel row for every glyph row of every cell.
void ScreenModel::drawTextRow(int row, const std::vector<int>& columns, bool invertBox,
                              const CellBox& box, const RowWords (*colourWords)[16]) {
  if (bits1 == nullptr && bits2 == nullptr) return;
  // The surfaces keep the size they were built with; a grid sized later from a
  // larger client area must not draw past them.
  if ((row + 1) * glyphHeight > surfaceHeight) return;
  std::vector<PendingCell> pending;
  pending.reserve(columns.size());
  for (int column : columns) {
    if ((column + 1) * glyphWidth > surfaceWidth) continue;
    Cell value = shown[static_cast<std::size_t>(row) * cols + column];
    bool inverted = invertBox && column >= box.left && column <= box.right && row >= box.top &&
                    row <= box.bottom;
    const RowWords* words = colourWords[inverted ? 1 : 0];
    pending.push_back({column, (value & kBlinkBit) != 0, glyphs + (value & 0xFF) * glyphHeight,
                       words[(value >> 8) & 15], words[(value >> 12) & 7]});
  }
  const std::size_t stride = static_cast<std::size_t>(surfaceWidth) * 3;
  for (int i = 0; i < glyphHeight; ++i) {
    std::size_t offset = static_cast<std::size_t>(surfaceHeight - row * glyphHeight - i - 1) * stride;
    if (bits1)
      for (const PendingCell& cell : pending) drawRow(bits1 + offset, cell, cell.glyph[i]);
    if (bits2)
      for (const PendingCell& cell : pending)
        if (!cell.blinking) drawRow(bits2 + offset, cell, cell.glyph[i]);
  }
}

int ScreenModel::refresh() {
  int drawn = 0;
  if (hasGrid() && !cells.empty()) {
    const std::vector<Cell>& source = frozen() ? snapshot : cells;
    CellBox box{};
    bool invertBox = dragging && selectionBox(box);
    // A pixel row of each palette entry as drawn, plain and inverted.
    RowWords colourWords[2][16];
    for (int entry = 0; entry < 16; ++entry) {
      PixelColour colour = drawnColour(palette, entry, colorMode);
      colourWords[0][entry] = repeated(colour);
      PixelColour inverse = {static_cast<std::uint8_t>(~colour.blue),
                             static_cast<std::uint8_t>(~colour.green),
                             static_cast<std::uint8_t>(~colour.red)};
      colourWords[1][entry] = repeated(inverse);
    }
    std::vector<int> changed;
    changed.reserve(static_cast<std::size_t>(cols));
    for (int row = 0; row < rows; ++row) {
      changed.clear();
      for (int column = 0; column < cols; ++column) {
        std::size_t i = static_cast<std::size_t>(row) * cols + column;
        Cell value = source[i];
        if (value == shown[i]) continue;
        shown[i] = value;
        snapshot[i] = value;
        changed.push_back(column);
      }
      if (changed.empty()) continue;
      drawTextRow(row, changed, invertBox, box, colourWords);
      drawn += static_cast<int>(changed.size());
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

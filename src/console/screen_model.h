// One screen of the console as data: the grid of 16-bit cells (character in the low
// byte, attribute in the high byte), the cursor, the palette, the glyph set, the key
// queue, the selection, and the pixel memory of its two drawing surfaces. Everything
// here is plain computation; the window code owns the bitmaps and the messages.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "console/key_queue.h"
#include "console/palette.h"

using Cell = std::uint16_t;

constexpr Cell kBlinkBit = 0x8000;
constexpr int kFreezeBySetFreeze = 1;
constexpr int kFreezeByScrollLock = 2;
// Cell indices are 16-bit, so a grid never holds more cells than this.
constexpr int kMaxCells = 65536;

struct CellBox {
  int left, right, top, bottom;
};

// One glyph row of 8 pixels in a 24-bit surface: 24 bytes as three 64-bit words.
struct RowWords {
  std::uint64_t word[3];
};

// Where and how the cursor is drawn over the shown surface.
struct CursorMark {
  int x, y, width;           // pixel position of scan line 0 of the cell, cell width
  int firstLine, lastLine;   // scan lines drawn, firstLine > lastLine draws none
  PixelColour colour;
};

struct ScreenModel {
  // Glyph set of the selected font, or none.
  const std::uint8_t* glyphs = nullptr;
  int font = 0;
  int glyphWidth = 0;
  int glyphHeight = 0;

  int cols = 0;
  int rows = 0;
  std::vector<Cell> cells;     // every write goes here
  std::vector<Cell> shown;     // what the surfaces show
  std::vector<Cell> snapshot;  // shown instead of cells while frozen
  std::vector<Cell> scratch;   // work copy of scroll()

  std::uint8_t palette[kPaletteBytes] = {};
  int colorMode = 0;
  std::uint8_t attribute = 0;
  int freeze = 0;
  int index = 0;

  int cursorCol = 0;
  int cursorRow = 0;
  int shownCursorCol = 0;
  int shownCursorRow = 0;
  std::uint8_t cursorFirst = 0;
  std::uint8_t cursorLast = 0;
  std::uint8_t cursorPhase = 0;
  std::uint8_t blinkCounter = 0;

  bool selectMode = false;
  bool dragging = false;
  int selStart = 0;  // cell indices of two opposite corners, -1 when reset
  int selEnd = 0;

  KeyQueue keys;

  // Pixel memory of the two 24-bit bottom-up surfaces (width a multiple of 4).
  std::uint8_t* bits1 = nullptr;
  std::uint8_t* bits2 = nullptr;
  int surfaceWidth = 0;
  int surfaceHeight = 0;

  // ANSI to OEM byte map applied to written text; none keeps bytes as they are.
  const std::uint8_t* oemTable = nullptr;

  bool hasGrid() const { return glyphs != nullptr && cols > 0 && rows > 0; }
  bool frozen() const { return freeze != 0; }
  std::uint16_t cellIndex(int column, int row) const {
    return static_cast<std::uint16_t>(column + row * cols);
  }

  // Text (screen_text.cpp).
  void writeByte(std::uint8_t byte);
  void writeText(const char* text);
  void newLine();
  void scroll(int left, int right, int top, int bottom);
  void clear();
  bool putCell(int column, int row, Cell cell);
  void setBackColor(int colour);
  void setTextColor(int colour);
  int setCursorShape(int firstLine, int lastLine);  // 0 done, -2 no font, -1 frozen
  // Selects font 0, 1 or 2 and sizes the grid to the client area: 1 done, 2 frozen,
  // -1 no font.
  int selectFont(int newFont, int clientWidth, int clientHeight);
  void releaseGrid();
  // Makes every cell differ from what is shown, so the next refresh draws it all.
  void markAllForRedraw();

  // Drawing (screen_paint.cpp).
  // One refresh tick: draws every changed cell, advances blink and cursor phase.
  // Returns the number of cells drawn.
  int refresh();
  // Draws the given changed cells of one text row (their `shown` values).
  void drawTextRow(int row, const std::vector<int>& columns, bool invertBox, const CellBox& box,
                   const RowWords (*colourWords)[16]);
  void clearSurfaces();
  // The surface the window shows at this tick: 1 or 2.
  int visibleSurface() const { return (blinkCounter % 4) < 2 ? 1 : 2; }
  bool cursorMark(CursorMark& mark);

  // Mouse and selection (screen_selection.cpp).
  // Pixel position to column + row * 65536; -1 without a grid.
  int pointToCell(int x, int y) const;
  bool selectionBox(CellBox& box) const;
  // The displayed characters of the selection box, each row ended by CR LF; a
  // character 0 adds nothing.
  std::string selectionText() const;
  void resetSelection();
};

// Bytes of the clipboard block for a box: every row with CR LF, and the NUL.
inline int selectionBlockBytes(const CellBox& box) {
  return (box.right - box.left + 3) * (box.bottom - box.top + 1) + 1;
}

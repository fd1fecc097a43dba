#include <algorithm>

#include "console/screen_model.h"

int ScreenModel::pointToCell(int x, int y) const {
  if (!hasGrid()) return -1;
  int column = std::min(std::max(x, 0) / glyphWidth, cols - 1);
  int row = std::min(std::max(y, 0) / glyphHeight, rows - 1);
  return column + row * 65536;
}

bool ScreenModel::selectionBox(CellBox& box) const {
  // A reset corner (-1) or one beyond the grid gives no box.
  if (!hasGrid() || selStart < 0 || selEnd < 0) return false;
  int startCol = selStart % cols, startRow = selStart / cols;
  int endCol = selEnd % cols, endRow = selEnd / cols;
  if (startRow >= rows || endRow >= rows) return false;
  box.left = std::min(startCol, endCol);
  box.right = std::max(startCol, endCol);
  box.top = std::min(startRow, endRow);
  box.bottom = std::max(startRow, endRow);
  return true;
}

std::string ScreenModel::selectionText() const {
  std::string text;
  CellBox box{};
  if (!selectionBox(box) || snapshot.empty()) return text;
  text.reserve(static_cast<std::size_t>(selectionBlockBytes(box)));
  for (int row = box.top; row <= box.bottom; ++row) {
    for (int column = box.left; column <= box.right; ++column) {
      // snapshot holds the cells as last drawn; shown may be complemented by a
      // pending full redraw (every drag step asks for one).
      char character = static_cast<char>(snapshot[static_cast<std::size_t>(row) * cols + column]);
      if (character != '\0') text += character;
    }
    text += "\r\n";
  }
  return text;
}

void ScreenModel::resetSelection() {
  selectMode = false;
  dragging = false;
  selStart = -1;
  selEnd = -1;
}

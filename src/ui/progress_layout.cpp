#include "ui/progress_layout.h"

#include <cstdio>

ProgressColumns progressColumns(int clientWidth) {
  int half = (clientWidth - 107) / 2;  // C++ division rounds toward zero
  return {half, 2 * half, 2 * half + 75, 2 * half + 107};
}

int progressLastSlot(int clientHeight) { return clientHeight / kProgressRowHeight; }

int progressHitTest(int firstVisibleRow, int rowCount, int y) {
  if (y < 0) return -1;
  int row = firstVisibleRow + y / kProgressRowHeight;
  return row < rowCount ? row : -1;
}

double progressFraction(int64_t value, int64_t maximum) {
  if (maximum <= 0) return 0.0;  // nothing to measure: an empty bar
  double fraction = static_cast<double>(value) / static_cast<double>(maximum);
  if (fraction < 0.0) return 0.0;
  return fraction > 1.0 ? 1.0 : fraction;
}

int progressFillWidth(int left, int right, double fraction) {
  return static_cast<int>((right - left) * fraction);
}

std::string progressPercentText(double fraction) {
  char text[32];
  std::snprintf(text, sizeof text, "%.2f%%", fraction * 100.0);
  return text;
}

int progressScrollTarget(ScrollRequest request, int row, int pageSize, int position) {
  switch (request) {
    case ScrollRequest::LineUp:
      return row > 0 ? row - 1 : row;
    case ScrollRequest::LineDown:
      return row < kProgressScrollBottom ? row + 1 : row;
    case ScrollRequest::PageUp:
      if (row > 0) row = row - pageSize < 0 ? 0 : row - pageSize;
      return row;
    case ScrollRequest::PageDown:
      if (row < kProgressScrollBottom) {
        row = row + pageSize > kProgressScrollBottom ? kProgressScrollBottom : row + pageSize;
      }
      return row;
    case ScrollRequest::Position:
    case ScrollRequest::Track:
      return position;
    case ScrollRequest::Top:
      return 0;
    case ScrollRequest::Bottom:
      return kProgressScrollBottom;
    case ScrollRequest::Other:
      break;
  }
  return row;
}

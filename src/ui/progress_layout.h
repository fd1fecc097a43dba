// Geometry and figures of the installation progress control: four columns (name,
// path, a 75-pixel bar, a 32-pixel picture) over rows 32 pixels high.
#pragma once
#include <cstdint>
#include <string>

constexpr int kProgressRowHeight = 32;
// The scroll bar's arrows and page keys stop at this row, whatever the row count.
constexpr int kProgressScrollBottom = 122;

struct ProgressColumns {
  int x0, x1, x2, x3;  // right edges of name, path, bar and picture
};
ProgressColumns progressColumns(int clientWidth);

// Slots drawn for a client height: 0..n inclusive, the last one partly visible.
int progressLastSlot(int clientHeight);

// Row under a client y, or -1 below the last row.
int progressHitTest(int firstVisibleRow, int rowCount, int y);

// Fraction of the bar to fill: value / maximum, 0 when the maximum is not positive,
// kept within 0..1.
double progressFraction(int64_t value, int64_t maximum);
// Width of the filled part of a bar from left to right.
int progressFillWidth(int left, int right, double fraction);
// "50.00%".
std::string progressPercentText(double fraction);

// Scroll requests the control answers, in the order of the scroll bar's codes.
enum class ScrollRequest { LineUp, LineDown, PageUp, PageDown, Position, Track, Top, Bottom, Other };
// New first visible row for a request; position is the thumb's for Position/Track.
int progressScrollTarget(ScrollRequest request, int firstVisibleRow, int pageSize, int position);

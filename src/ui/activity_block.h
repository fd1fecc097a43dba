// Where the activity control draws its sliding block.
#pragma once

constexpr int kActivityStep = 4;         // pixels per timer tick
constexpr int kActivityBlockWidth = 24;

// Left edge of the block after `steps` pixels of travel in a box `width` wide. A box
// of 32 pixels or less has no room to slide: the block stays at the left edge.
inline int activityBlockLeft(int steps, int width) {
  if (width <= 32) return 4;
  return steps % (width - 32) + 4;
}

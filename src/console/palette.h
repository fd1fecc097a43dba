// The console's 16-entry palettes: 3 bytes per entry in the order blue, green, red,
// the byte order of a 24-bit bitmap pixel.
#pragma once
#include <cstdint>

constexpr int kPaletteEntries = 16;
constexpr int kPaletteBytes = kPaletteEntries * 3;

extern const std::uint8_t kDefaultPalette[kPaletteBytes];

struct PixelColour {
  std::uint8_t blue, green, red;
};

// The colour an entry is drawn in: as stored in colour mode (1), the integer mean of
// its three bytes in grey mode (0).
PixelColour drawnColour(const std::uint8_t* palette, int entry, int colorMode);

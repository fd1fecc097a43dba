// A screen model with a font, a grid and real pixel memory for its two surfaces,
// as the console window sets one up, for the platform-free tests.
#pragma once
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "console/screen_model.h"

struct ModelScreen {
  ScreenModel model;
  std::vector<std::uint8_t> pixels1, pixels2;

  // A client area of width x height pixels; the surfaces are as wide as the width
  // rounded up to a multiple of 4.
  ModelScreen(int font, int width, int height) {
    std::memcpy(model.palette, kDefaultPalette, kPaletteBytes);
    model.surfaceWidth = (width + 3) / 4 * 4;
    model.surfaceHeight = height;
    std::size_t bytes = static_cast<std::size_t>(model.surfaceWidth) * height * 3;
    pixels1.assign(bytes, 0xAB);
    pixels2.assign(bytes, 0xAB);
    model.bits1 = pixels1.data();
    model.bits2 = pixels2.data();
    model.selectFont(font, width, height);
  }

  // The characters of one row as text.
  std::string row(int r) const {
    std::string text;
    for (int c = 0; c < model.cols; ++c) text += static_cast<char>(cell(c, r) & 0xFF);
    return text;
  }
  Cell cell(int c, int r) const { return model.cells[static_cast<std::size_t>(r) * model.cols + c]; }

  // Blue, green, red of pixel (x, y) of a surface, y counted from the top.
  const std::uint8_t* pixel(int surface, int x, int y) const {
    const std::vector<std::uint8_t>& bits = surface == 1 ? pixels1 : pixels2;
    std::size_t row = static_cast<std::size_t>(model.surfaceHeight - 1 - y);
    return bits.data() + (row * model.surfaceWidth + x) * 3;
  }
};

// The two code page 437 VGA glyph sets the console draws with: 256 glyphs each, one
// byte per pixel row, the most significant bit the leftmost pixel.
#pragma once

extern const unsigned char kVgaGlyphs8x8[256 * 8];
extern const unsigned char kVgaGlyphs8x16[256 * 16];

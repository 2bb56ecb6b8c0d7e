#include "ticker/icon_blend.h"

namespace korvo {

void BlendIconPixels(uint32_t* drawn, const uint32_t* face, size_t count, uint32_t face_colour) {
  // COLORREF is red in the low byte; DIB pixels have blue there.
  const uint32_t r = face_colour & 0xFF;
  const uint32_t g = (face_colour >> 8) & 0xFF;
  const uint32_t b = (face_colour >> 16) & 0xFF;
  for (size_t i = 0; i < count; ++i) {
    if ((drawn[i] & 0xFFFFFF) == (face[i] & 0xFFFFFF)) continue;
    const uint32_t p = drawn[i];
    const uint32_t pb = ((p & 0xFF) + b) / 2;
    const uint32_t pg = (((p >> 8) & 0xFF) + g) / 2;
    const uint32_t pr = (((p >> 16) & 0xFF) + r) / 2;
    drawn[i] = (p & 0xFF000000u) | pr << 16 | pg << 8 | pb;
  }
}

}  // namespace korvo

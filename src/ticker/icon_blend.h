// Blending a site icon with the skin face: each pixel of the icon becomes the per-channel
// average ((a + b) / 2, rounded down) of itself and the face's colour at the icon's top-left
// corner; pixels where the face shows through the icon stay the face's.
//
// Pure function; safe on any thread.
#ifndef KORVO_TICKER_ICON_BLEND_H_
#define KORVO_TICKER_ICON_BLEND_H_

#include <cstddef>
#include <cstdint>

namespace korvo {

// `drawn`: the icon as drawn over the face; `face`: the face without it (both 32-bit pixels
// 0x00RRGGBB, `count` of them). Pixels that differ are the icon's and are averaged with
// `face_colour` (COLORREF 0x00BBGGRR) in place.
void BlendIconPixels(uint32_t* drawn, const uint32_t* face, size_t count, uint32_t face_colour);

}  // namespace korvo

#endif  // KORVO_TICKER_ICON_BLEND_H_

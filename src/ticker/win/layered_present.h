// Presenting a headline frame per pixel: the frame (a 32-bit DIB selected into a memory DC) goes
// to the layered headline window with UpdateLayeredWindow, the colour key cutting out the
// background so the skin face shows between the letters, and with a constant alpha when the
// ticker is translucent (or while the fade effect runs).
//
// Called by the display thread for every frame while per-pixel mode is on; UpdateLayeredWindow
// may be called from any thread. No allocation per frame.
#ifndef KORVO_TICKER_WIN_LAYERED_PRESENT_H_
#define KORVO_TICKER_WIN_LAYERED_PRESENT_H_

#include <windows.h>

#include <cstdint>

namespace korvo {

// Whether a headline is drawn per pixel: when the skin's news box is transparent, or when the
// ticker is translucent and idle.
bool UsePerPixelDrawing(bool box_transparent, bool translucent_and_idle);

// The blend of a frame: with translucency (flag bit 14) and "タイトルも透明化" (bit 21) on and the
// ticker not made opaque for the moment, the user's alpha with the colour key; otherwise alpha
// 255 with the colour key alone.
struct LayeredBlend {
  uint8_t alpha = 255;
  bool use_alpha = false;
};
LayeredBlend HeadlineBlend(uint32_t general_flags, uint8_t user_alpha, bool temporarily_opaque);

// Presents `width` x `height` pixels of `frame_dc` at the window's place. False when the window
// is not layered (or is gone).
bool PresentLayeredFrame(HWND window, HDC frame_dc, int width, int height, COLORREF colour_key,
                         const LayeredBlend& blend);

}  // namespace korvo

#endif  // KORVO_TICKER_WIN_LAYERED_PRESENT_H_

#include "ticker/win/layered_present.h"

namespace korvo {

bool UsePerPixelDrawing(bool box_transparent, bool translucent_and_idle) {
  return box_transparent || translucent_and_idle;
}

LayeredBlend HeadlineBlend(uint32_t general_flags, uint8_t user_alpha, bool temporarily_opaque) {
  LayeredBlend blend;
  const bool translucent = (general_flags & (1u << 14)) != 0;
  const bool title_too = (general_flags & (1u << 21)) != 0;
  if (translucent && title_too && !temporarily_opaque) {
    blend.alpha = user_alpha;
    blend.use_alpha = true;
  }
  return blend;
}

bool PresentLayeredFrame(HWND window, HDC frame_dc, int width, int height, COLORREF colour_key,
                         const LayeredBlend& blend) {
  SIZE size = {width, height};
  POINT source = {0, 0};
  BLENDFUNCTION function = {AC_SRC_OVER, 0, blend.alpha, 0};
  const DWORD flags = ULW_COLORKEY | (blend.use_alpha ? ULW_ALPHA : 0);
  // A null destination keeps the window where it is, so a drag meanwhile is not undone.
  return UpdateLayeredWindow(window, nullptr, nullptr, &size, frame_dc, &source, colour_key,
                             &function, flags) != FALSE;
}

}  // namespace korvo

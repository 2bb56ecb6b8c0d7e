// Keeping the ticker on the screen when the display resolution changes.
#ifndef KORVO_APP_SCREEN_FIT_H_
#define KORVO_APP_SCREEN_FIT_H_

#include <cstdint>

namespace korvo {

struct ScreenRect {
  int32_t left = 0;
  int32_t top = 0;
  int32_t right = 0;
  int32_t bottom = 0;
  int32_t width() const { return right - left; }
  int32_t height() const { return bottom - top; }
  bool operator==(const ScreenRect& o) const;
};

// `window` moved (never resized) so that it lies on a screen of `screen_width` x `screen_height`
// pixels: a window that sticks out on the right or bottom moves left or up, one that sticks out on
// the left or top moves right or down; a window larger than the screen keeps its top-left corner
// at 0. A screen size of 0 or less leaves the window where it is.
ScreenRect KeepOnScreen(const ScreenRect& window, int32_t screen_width, int32_t screen_height);

}  // namespace korvo

#endif  // KORVO_APP_SCREEN_FIT_H_

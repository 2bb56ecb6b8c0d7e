#include "app/screen_fit.h"

#include <cstdint>

namespace korvo {

namespace {

// The new start of a span [start, start + length) inside [0, limit).
int32_t FitSpan(int64_t start, int64_t length, int64_t limit) {
  if (start + length > limit) start = limit - length;
  if (start < 0) start = 0;
  return static_cast<int32_t>(start);
}

int32_t ClampToInt32(int64_t value) {
  return value > INT32_MAX ? INT32_MAX : static_cast<int32_t>(value);
}

}  // namespace

bool ScreenRect::operator==(const ScreenRect& o) const {
  return left == o.left && top == o.top && right == o.right && bottom == o.bottom;
}

ScreenRect KeepOnScreen(const ScreenRect& window, int32_t screen_width, int32_t screen_height) {
  if (screen_width <= 0 || screen_height <= 0) return window;
  // 64-bit arithmetic: the corners come from settings files and may be anything.
  const int64_t width = static_cast<int64_t>(window.right) - window.left;
  const int64_t height = static_cast<int64_t>(window.bottom) - window.top;
  if (width < 0 || height < 0) return window;
  const int32_t left = FitSpan(window.left, width, screen_width);
  const int32_t top = FitSpan(window.top, height, screen_height);
  ScreenRect moved;
  moved.left = left;
  moved.top = top;
  moved.right = ClampToInt32(left + width);
  moved.bottom = ClampToInt32(top + height);
  return moved;
}

}  // namespace korvo

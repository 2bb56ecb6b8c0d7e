#include "ticker/ticker_pointer.h"

#include <cstdlib>

namespace korvo {

bool IsHeadlineClick(TickerPoint window_at_press, TickerPoint window_at_release) {
  return std::abs(window_at_release.x - window_at_press.x) <= kClickJitter &&
         std::abs(window_at_release.y - window_at_press.y) <= kClickJitter;
}

bool IsNewsBoxClick(int64_t held_ms) { return held_ms >= 0 && held_ms < kNewsBoxClickMs; }

TickerPoint SnapTickerPosition(TickerPoint to, int width, int height, int screen_width,
                               int screen_height, bool multi_monitor) {
  if (multi_monitor) return to;
  if (to.x < kSnapDistance) to.x = 0;
  if (to.y < kSnapDistance) to.y = 0;
  if (screen_width - (to.x + width) < kSnapDistance && to.x > 0) to.x = screen_width - width;
  if (screen_height - (to.y + height) < kSnapDistance && to.y > 0) to.y = screen_height - height;
  if (to.x < 0) to.x = 0;  // a ticker wider than the screen keeps its left edge on it
  if (to.y < 0) to.y = 0;
  return to;
}

TickerGrip GripAt(int x, int y, int width, int height, int grip_x, int grip_y) {
  if (x < 0 || y < 0 || x >= width || y >= height) return TickerGrip::kNone;
  if (grip_x > 0 && x >= width - grip_x) return TickerGrip::kHorizontal;
  if (grip_y > 0 && y >= height - grip_y) return TickerGrip::kVertical;
  return TickerGrip::kNone;
}

void ResizeBy(TickerGrip grip, TickerPoint press, TickerPoint now, int* width, int* height) {
  if (grip == TickerGrip::kHorizontal) *width += now.x - press.x;
  if (grip == TickerGrip::kVertical) *height += now.y - press.y;
}

}  // namespace korvo

// The pointer on the two ticker windows: which press is a click that opens the item, where a
// dragged ticker snaps to the screen edges, which presses start a resize, and the size a resize
// gives. Coordinates are pixels; window positions are screen coordinates.
//
// Pure functions; safe on any thread.
#ifndef KORVO_TICKER_TICKER_POINTER_H_
#define KORVO_TICKER_TICKER_POINTER_H_

#include <cstdint>

namespace korvo {

// A press on the headline followed by a release opens the item when the window moved by at most
// this many pixels in each direction meanwhile.
constexpr int kClickJitter = 1;
// A press on the skin window's news box opens the item when released within this time.
constexpr int kNewsBoxClickMs = 500;
// Snapping: a left (top) edge below this snaps to 0; a right (bottom) edge closer than this to
// the screen's edge is aligned with it.
constexpr int kSnapDistance = 9;

struct TickerPoint {
  int x = 0;
  int y = 0;
  bool operator==(const TickerPoint& o) const { return x == o.x && y == o.y; }
};

// Whether the headline window's position at the release is within kClickJitter of its position
// at the press.
bool IsHeadlineClick(TickerPoint window_at_press, TickerPoint window_at_release);

// Whether a press on the news box released after `held_ms` opens the item.
bool IsNewsBoxClick(int64_t held_ms);

// Where the skin window of `width` x `height` goes when dragged to (x, y): x < 9 becomes 0,
// y < 9 becomes 0, and a right (bottom) edge within 8 pixels of the screen's, or beyond it, is
// aligned to it. With `multi_monitor` the position is taken as it is.
TickerPoint SnapTickerPosition(TickerPoint to, int width, int height, int screen_width,
                               int screen_height, bool multi_monitor);

// The grip under a press at (x, y) of a skin window `width` x `height`: within `grip_x` pixels
// of the right edge a horizontal resize, else within `grip_y` pixels of the bottom edge a
// vertical one.
enum class TickerGrip { kNone, kHorizontal, kVertical };
TickerGrip GripAt(int x, int y, int width, int height, int grip_x, int grip_y);

// The size a resize asks for when the pointer went from `press` to `now`: the grip's dimension
// changes by the pointer's movement, the other stays. The skin's size rules then apply.
void ResizeBy(TickerGrip grip, TickerPoint press, TickerPoint now, int* width, int* height);

}  // namespace korvo

#endif  // KORVO_TICKER_TICKER_POINTER_H_

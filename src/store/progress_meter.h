// The decisions of the progress window, kept apart from the Windows code that applies them: its
// place on the screen, and when the bar must be redrawn. A job of 262,140 steps would otherwise
// send 262,140 messages across threads; the meter lets through only the steps that move the bar
// by at least one of its `resolution` units.
#ifndef KORVO_STORE_PROGRESS_METER_H_
#define KORVO_STORE_PROGRESS_METER_H_

#include <cstdint>

namespace korvo {

struct ScreenRect {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;
  bool operator==(const ScreenRect& o) const {
    return left == o.left && top == o.top && right == o.right && bottom == o.bottom;
  }
};

// The progress window: 320 pixels wide, a caption height plus 35 pixels high, centred on the
// work area.
constexpr int kProgressWindowWidth = 320;
constexpr int kProgressWindowExtraHeight = 35;
ScreenRect ProgressWindowRect(const ScreenRect& work_area, int caption_height);

// Position and range of a progress display. Positions stay within 0 .. range.
class ProgressMeter {
 public:
  explicit ProgressMeter(uint32_t resolution = kProgressWindowWidth)
      : resolution_(resolution == 0 ? 1 : resolution) {}

  // Each returns true when the bar must be redrawn at position().
  bool SetRange(uint32_t range);
  bool Step();
  bool SetPosition(uint32_t position);

  uint32_t range() const { return range_; }
  uint32_t position() const { return position_; }

 private:
  bool Moved();

  uint32_t resolution_;
  uint32_t range_ = 0;
  uint32_t position_ = 0;
  uint64_t shown_unit_ = 0;
};

}  // namespace korvo

#endif  // KORVO_STORE_PROGRESS_METER_H_

#include "store/progress_meter.h"

namespace korvo {

ScreenRect ProgressWindowRect(const ScreenRect& work_area, int caption_height) {
  const int height = caption_height + kProgressWindowExtraHeight;
  ScreenRect r;
  r.left = work_area.left + (work_area.right - work_area.left - kProgressWindowWidth) / 2;
  r.top = work_area.top + (work_area.bottom - work_area.top - height) / 2;
  r.right = r.left + kProgressWindowWidth;
  r.bottom = r.top + height;
  return r;
}

bool ProgressMeter::SetRange(uint32_t range) {
  range_ = range;
  if (position_ > range_) position_ = range_;
  shown_unit_ = range_ == 0 ? 0 : uint64_t{position_} * resolution_ / range_;
  return true;
}

bool ProgressMeter::Step() {
  if (position_ >= range_) return false;
  ++position_;
  return Moved();
}

bool ProgressMeter::SetPosition(uint32_t position) {
  position_ = position > range_ ? range_ : position;
  shown_unit_ = range_ == 0 ? 0 : uint64_t{position_} * resolution_ / range_;
  return true;
}

bool ProgressMeter::Moved() {
  const uint64_t unit = range_ == 0 ? 0 : uint64_t{position_} * resolution_ / range_;
  if (unit == shown_unit_) return false;
  shown_unit_ = unit;
  return true;
}

}  // namespace korvo

#include "ticker/motion_step.h"

#include <algorithm>

namespace korvo {

MotionStep::MotionStep(int speed) {
  speed = ClampSpeed(speed);
  if (speed < 10) {
    pixels_ = 11 - speed;
  } else {
    interval_ = speed - 9;
  }
}

int MotionStep::Next() {
  if (++ticks_ < interval_) return 0;
  ticks_ = 0;
  return pixels_;
}

AlphaStep::AlphaStep(int speed) {
  speed = ClampSpeed(speed);
  if (speed < 10) {
    amount_ = 3 * (11 - speed) + 7;
  } else {
    interval_ = speed - 9;
  }
}

int AlphaStep::Next() {
  if (++ticks_ < interval_) return 0;
  ticks_ = 0;
  return amount_;
}

EasedStep::EasedStep(int speed, bool decelerate) : decelerate_(decelerate) {
  speed = ClampSpeed(speed);
  // Tenths of a pixel for d, so the rule's 0.1 steps stay exact.
  int m = 8;
  int d_tenths = 8;
  if (speed < 10) {
    m += 10 - speed;
    d_tenths += 10 - speed;
  } else if (speed > 10) {
    m -= std::min(speed - 10, 7);
    d_tenths = std::max(0, d_tenths - (speed - 10));
  }
  m_ = m;
  d_ = d_tenths / 10.0;
}

int EasedStep::Next(double progress) {
  const double u = std::clamp(progress, 0.0, 1.0);
  const double factor = decelerate_ ? (u - 1) * (u - 1) : u * u;
  accumulated_ += std::max(factor * m_ + d_, kMinEasedStep);
  // The small margin keeps sums like ten steps of 0.1 from falling just short of a pixel.
  const int whole = static_cast<int>(accumulated_ + 1e-9);
  accumulated_ -= whole;
  return whole;
}

}  // namespace korvo

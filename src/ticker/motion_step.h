// The per-tick steps of the headline's effects. The display's timer ticks every 16 ms; each
// effect asks one of these how far to move on each tick.
//
//   MotionStep  speed s < 10: 11 - s pixels every tick; s >= 10: one pixel every s - 9 ticks
//               (speed 10: 1 pixel a tick; speed 1: 10 pixels; speed 20: 1 pixel every 11 ticks).
//   AlphaStep   the fade's alpha: s < 10: 3 * (11 - s) + 7 every tick; s >= 10: 8 every s - 9
//               ticks.
//   EasedStep   the glides (effects 14 and 15): with progress u (0..1) the step is
//               (u - 1)^2 * m + d when decelerating and u^2 * m + d when accelerating; m = 8 and
//               d = 0.8 at speed 10, each speed below 10 adds 1 to m and 0.1 to d, each speed
//               above 10 takes 1 from m (down to 1) and 0.1 from d (down to 0). The step never
//               falls below kMinEasedStep: without that floor an accelerating glide at speeds 18
//               and up (d = 0) would start with a step of 0 and never move. Fractions are
//               accumulated and applied a whole pixel at a time.
// All are exact in integers where the rule is (no drift over long moves), and allocate nothing.
#ifndef KORVO_TICKER_MOTION_STEP_H_
#define KORVO_TICKER_MOTION_STEP_H_

namespace korvo {

class MotionStep {
 public:
  explicit MotionStep(int speed);
  // Pixels to move on this tick.
  int Next();

 private:
  int pixels_ = 1;    // per move
  int interval_ = 1;  // ticks per move
  int ticks_ = 0;
};

class AlphaStep {
 public:
  explicit AlphaStep(int speed);
  // Alpha levels to move on this tick.
  int Next();

 private:
  int amount_ = 8;
  int interval_ = 1;
  int ticks_ = 0;
};

class EasedStep {
 public:
  static constexpr double kMinEasedStep = 0.1;

  EasedStep(int speed, bool decelerate);
  // Pixels to move on this tick, given the progress u (distance covered / total, 0..1).
  int Next(double progress);

 private:
  double m_;
  double d_;
  bool decelerate_;
  double accumulated_ = 0;
};

// The speed value as the steps take it: at least 0 (the settings hold an unsigned 16-bit value).
inline int ClampSpeed(int speed) { return speed < 0 ? 0 : speed; }

}  // namespace korvo

#endif  // KORVO_TICKER_MOTION_STEP_H_

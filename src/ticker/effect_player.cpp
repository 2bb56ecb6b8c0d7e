#include "ticker/effect_player.h"

#include <algorithm>
#include <cstdlib>

namespace korvo {

bool EffectFrame::operator==(const EffectFrame& o) const {
  return mode == o.mode && x == o.x && y == o.y && swapped == o.swapped &&
         clip_left == o.clip_left && clip_right == o.clip_right && alpha == o.alpha &&
         zoom_percent == o.zoom_percent && tilt_shift == o.tilt_shift &&
         tilt_top_milli == o.tilt_top_milli && tilt_bottom_milli == o.tilt_bottom_milli;
}

int ChooseEffect(int value, TickerRandom* random) {
  // rand / 6553.6 truncated, in integers.
  auto tenths = [&] { return random->Next() * 10 / 65536; };
  switch (value) {
    case effect::kRandom1:
      return tenths();
    case effect::kRandom2:
      return 1 + random->Next() / 8192;
    case effect::kRandom3: {
      const int v = 7 + tenths();
      return v == effect::kStill ? effect::kScrollStop : v;
    }
    case effect::kRandom4: {
      int v = 7 + random->Next() / 4096;
      if (v >= 11) v = 9 + random->Next() / 4096;
      if (v == effect::kRandom4) return effect::kZoom;
      if (v == effect::kStill) return effect::kScrollStop;
      if (v == effect::kRandom3) return ChooseEffect(effect::kRandom3, random);
      return v;
    }
    default:
      return value;
  }
}

EffectPlayer::EffectPlayer(int effect_number, const EffectGeometry& geometry, int speed,
                           uint32_t hold_ms, int alpha_top)
    : effect_(effect_number),
      geometry_(geometry),
      speed_(ClampSpeed(speed)),
      hold_ticks_(static_cast<int>((static_cast<uint64_t>(hold_ms) + kTickMilliseconds - 1) /
                                   kTickMilliseconds)),
      alpha_top_(std::clamp(alpha_top, 0, 255)),
      motion_(speed),
      alpha_(speed),
      eased_(speed, true) {
  const int b = std::max(0, geometry_.box_width);
  const int w = std::max(0, geometry_.text_width);
  const int h = std::max(0, geometry_.text_height);
  const int held = geometry_.held_x();
  const int gone = b + w;
  switch (effect_) {
    case effect::kMarquee:
      Ramp(Field::kX, 0, gone);
      break;
    case effect::kRise:
      Ramp(Field::kY, 0, h, true);
      Hold();
      Ramp(Field::kY, 0, h);
      break;
    case effect::kDrop:
      Ramp(Field::kY, h, 0);
      Hold();
      Ramp(Field::kY, h, 0, true);
      break;
    case effect::kRiseAndSink:
      Ramp(Field::kY, 0, h, true);
      Hold();
      Ramp(Field::kY, h, 0, true);
      break;
    case effect::kDropAndLift:
      Ramp(Field::kY, h, 0);
      Hold();
      Ramp(Field::kY, 0, h);
      break;
    case effect::kReveal:
      Ramp(Field::kReveal, 0, std::min(b, w));
      Hold();
      Ramp(Field::kX, held, gone);
      break;
    case effect::kSlideIn:
      Ramp(Field::kX, gone, held);
      Hold();
      Ramp(Field::kX, held, gone);
      break;
    case effect::kOpenFromCentre: {
      const int half = (std::min(b, w) + 1) / 2;
      Ramp(Field::kOpen, 0, half);
      Hold();
      Ramp(Field::kOpen, half, 0);
      break;
    }
    case effect::kFade: {
      Ramp(Field::kAlpha, 0, alpha_top_, false, Stepper::kAlpha);
      Phase hold;
      hold.field = Field::kAlpha;
      hold.from = alpha_top_;
      Add(hold);
      Ramp(Field::kAlpha, alpha_top_, 0, false, Stepper::kAlpha);
      Phase blank;
      blank.kind = Phase::Kind::kBlank;
      Add(blank);
      break;
    }
    case effect::kStill:
      Hold();
      break;
    case effect::kScrollStop:
      Ramp(Field::kX, 0, held);
      Hold();
      Ramp(Field::kX, held, gone);
      break;
    case effect::kGlide:
      Ramp(Field::kX, 0, held, false, Stepper::kDecelerate);
      Hold();
      Ramp(Field::kX, held, gone, false, Stepper::kAccelerate);
      break;
    case effect::kGlideFromLeft:
      Ramp(Field::kX, gone, held, false, Stepper::kDecelerate);
      Hold();
      Ramp(Field::kX, held, gone, false, Stepper::kAccelerate);
      break;
    case effect::kZoom: {
      Ramp(Field::kZoom, 0, 100);
      Phase hold;
      hold.field = Field::kZoom;
      hold.from = 100;
      Add(hold);
      Ramp(Field::kZoom, 100, 0);
      break;
    }
    case effect::kTilt:
      Ramp(Field::kTilt, std::max(0, geometry_.box_height), 0);
      break;
    default:
      break;  // no such effect: no frames
  }
  BeginPhase();
}

void EffectPlayer::Add(const Phase& phase) {
  if (phase_count_ < static_cast<int>(phases_.size())) phases_[phase_count_++] = phase;
}

void EffectPlayer::Ramp(Field field, int from, int to, bool swapped, Stepper stepper) {
  Phase phase;
  phase.kind = Phase::Kind::kRamp;
  phase.field = field;
  phase.stepper = stepper;
  phase.from = from;
  phase.to = to;
  phase.swapped = swapped;
  Add(phase);
}

void EffectPlayer::Hold() {
  Phase phase;
  phase.field = Field::kX;
  phase.from = geometry_.held_x();
  Add(phase);
}

void EffectPlayer::BeginPhase() {
  started_ = false;
  ticks_left_ = hold_ticks_;
  if (phase_ >= phase_count_) return;
  const Phase& phase = phases_[phase_];
  value_ = phase.from;
  motion_ = MotionStep(speed_);
  alpha_ = AlphaStep(speed_);
  eased_ = EasedStep(speed_, phase.stepper == Stepper::kDecelerate);
}

int EffectPlayer::Step(const Phase& phase) {
  switch (phase.stepper) {
    case Stepper::kMotion:
      return motion_.Next();
    case Stepper::kAlpha:
      return alpha_.Next();
    case Stepper::kDecelerate:
    case Stepper::kAccelerate: {
      const int total = std::abs(phase.to - phase.from);
      const double progress =
          total == 0 ? 1.0 : static_cast<double>(std::abs(value_ - phase.from)) / total;
      return eased_.Next(progress);
    }
  }
  return 0;
}

void EffectPlayer::Fill(const Phase& phase, int value, EffectFrame* frame) const {
  const int b = geometry_.box_width;
  *frame = EffectFrame();
  frame->x = geometry_.held_x();
  frame->swapped = phase.swapped;
  frame->clip_right = b;
  switch (phase.field) {
    case Field::kX:
      frame->x = value;
      break;
    case Field::kY:
      frame->y = value;
      break;
    case Field::kReveal:
      frame->mode = EffectFrame::Mode::kClip;
      frame->clip_left = geometry_.centring();
      frame->clip_right = std::min(b, frame->clip_left + value);
      break;
    case Field::kOpen:
      frame->mode = EffectFrame::Mode::kClip;
      frame->clip_left = std::max(0, b / 2 - value);
      frame->clip_right = std::min(b, b / 2 + value);
      break;
    case Field::kAlpha:
      frame->mode = EffectFrame::Mode::kAlpha;
      frame->alpha = value;
      break;
    case Field::kZoom:
      frame->mode = EffectFrame::Mode::kZoom;
      frame->zoom_percent = value;
      break;
    case Field::kTilt: {
      frame->mode = EffectFrame::Mode::kTilt;
      frame->tilt_shift = value;
      const int height = geometry_.box_height;
      // q runs from 1 at the start (value = box height) to 0 at the end.
      const int64_t q_milli = height > 0 ? static_cast<int64_t>(value) * 1000 / height : 0;
      frame->tilt_top_milli = static_cast<int>(1000 + 2 * q_milli);
      frame->tilt_bottom_milli = static_cast<int>(500 - 490 * q_milli / 1000);
      break;
    }
  }
}

bool EffectPlayer::Next(EffectFrame* frame) {
  while (phase_ < phase_count_) {
    const Phase& phase = phases_[phase_];
    switch (phase.kind) {
      case Phase::Kind::kHold:
        if (ticks_left_ > 0) {
          --ticks_left_;
          Fill(phase, phase.from, frame);
          return true;
        }
        break;
      case Phase::Kind::kBlank:
        if (!started_) {
          started_ = true;
          *frame = EffectFrame();
          frame->mode = EffectFrame::Mode::kBlank;
          frame->clip_right = geometry_.box_width;
          return true;
        }
        break;
      case Phase::Kind::kRamp: {
        if (!started_) {
          started_ = true;
          Fill(phase, value_, frame);
          return true;
        }
        if (value_ == phase.to) break;  // its last frame, at the target, was drawn
        const int step = Step(phase);
        if (phase.to > phase.from) {
          value_ = std::min(phase.to, value_ + step);
        } else {
          value_ = std::max(phase.to, value_ - step);
        }
        Fill(phase, value_, frame);
        return true;
      }
    }
    ++phase_;
    BeginPhase();
  }
  return false;
}

}  // namespace korvo

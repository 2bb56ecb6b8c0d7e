#include "ticker/skin_animation.h"

namespace korvo {

SkinAnimation::Step SkinAnimation::Start(int row, int frames) {
  Step step;
  if (one_shot_) {
    pending_ = true;
    pending_row_ = row;
    pending_frames_ = frames;
    return step;
  }
  row_ = row < 0 ? 0 : row;
  frames_ = frames < 1 ? 1 : frames;
  frame_ = 0;
  running_ = frames >= 2;
  step.loop = running_ && !paused_ ? Timer::kStart : Timer::kStop;
  step.repaint = true;
  return step;
}

SkinAnimation::Step SkinAnimation::Stop(bool end_one_shot) {
  Step step;
  if (one_shot_) {
    if (!end_one_shot) return step;
    one_shot_ = false;
    pending_ = false;
    step.one_shot = Timer::kStop;
  }
  row_ = 0;
  frames_ = 1;
  frame_ = 0;
  running_ = false;
  step.loop = Timer::kStop;
  step.repaint = true;
  return step;
}

SkinAnimation::Step SkinAnimation::Pause() {
  Step step;
  paused_ = true;
  if (running_ && !one_shot_) step.loop = Timer::kStop;
  return step;
}

SkinAnimation::Step SkinAnimation::Resume() {
  Step step;
  paused_ = false;
  if (running_ && !one_shot_) step.loop = Timer::kStart;
  return step;
}

SkinAnimation::Step SkinAnimation::PlayOnce(int row, int frames) {
  Step step;
  if (one_shot_) return step;
  if (frames < 2) {
    step.repaint = true;
    return step;
  }
  saved_ = {row_, frames_, frame_, running_};
  one_shot_ = true;
  row_ = row < 0 ? 0 : row;
  frames_ = frames;
  frame_ = 0;
  step.loop = Timer::kStop;
  step.one_shot = Timer::kStart;
  step.repaint = true;
  return step;
}

SkinAnimation::Step SkinAnimation::EndOneShot() {
  Step step;
  if (!one_shot_) return step;
  one_shot_ = false;
  step.one_shot = Timer::kStop;
  if (pending_) {
    pending_ = false;
    Step started = Start(pending_row_, pending_frames_);
    started.one_shot = Timer::kStop;
    return started;
  }
  row_ = saved_.row;
  frames_ = saved_.frames;
  frame_ = saved_.frame;
  running_ = saved_.running;
  step.loop = running_ && !paused_ ? Timer::kStart : Timer::kStop;
  step.repaint = true;
  return step;
}

SkinAnimation::Step SkinAnimation::ToggleFrozen() {
  frozen_ = !frozen_;
  Step step;
  step.repaint = !frozen_;
  return step;
}

SkinAnimation::Step SkinAnimation::LoopTick() {
  Step step;
  if (frozen_ || one_shot_ || !running_ || frames_ < 1) return step;
  frame_ = (frame_ + 1) % frames_;
  step.draw_frame = true;
  return step;
}

SkinAnimation::Step SkinAnimation::OneShotTick() {
  Step step;
  if (!one_shot_) return step;
  if (frame_ + 1 >= frames_) {
    step.one_shot = Timer::kStop;
    step.end_one_shot = true;
    return step;
  }
  ++frame_;
  if (!frozen_) step.draw_frame = true;
  return step;
}

}  // namespace korvo

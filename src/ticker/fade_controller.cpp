#include "ticker/fade_controller.h"

namespace korvo {

uint32_t FadeController::ModesFromFlags(uint32_t flags) {
  uint32_t modes = 0;
  if (flags & (1u << 14)) modes |= kModeOn;
  if (flags & (1u << 15)) modes |= kModeNew;
  if (flags & (1u << 16)) modes |= kModeUnread;
  if (flags & (1u << 20)) modes |= kModeHover;
  return modes;
}

uint32_t FadeController::EventFromItemState(uint32_t state) {
  return ((state & 1) == 0 ? kEventUnread : 0) | (state & kEventNew);
}

bool FadeController::TranslucentAndIdle() const {
  return on() && (state_ & (kStateItem | kStateHover)) == 0;
}

FadeController::Action FadeController::OnItem(uint32_t event) {
  if (!on() || !Quiet()) return Action::kNone;
  const bool wanted = ((modes_ & kModeNew) != 0 && (event & kEventNew) != 0) ||
                      ((modes_ & kModeUnread) != 0 && (event & kEventUnread) != 0);
  if (wanted) {
    if ((state_ & (kStateItem | kStateHover)) != 0) return Action::kNone;
    state_ |= kStateItem;
    return Action::kFadeIn;
  }
  if ((state_ & kStateItem) != 0 && (state_ & kStateHover) == 0) {
    state_ &= ~kStateItem;
    return Action::kFadeOut;
  }
  return Action::kNone;
}

FadeController::Action FadeController::OnTimer(bool inside, int x, int y, int64_t now_ms) {
  if (!seen_pointer_ || x != last_x_ || y != last_y_) {
    seen_pointer_ = true;
    last_x_ = x;
    last_y_ = y;
    last_move_ms_ = now_ms;
  }
  if (!on() || !Quiet() || (modes_ & kModeHover) == 0) return Action::kNone;
  if (!inside) {
    if ((state_ & kStateHover) != 0 && (state_ & kStateItem) == 0) {
      state_ &= ~kStateHover;
      return Action::kFadeOut;
    }
    return Action::kNone;
  }
  if (now_ms - last_move_ms_ >= kRestMs && (state_ & (kStateItem | kStateHover)) == 0) {
    state_ |= kStateHover;
    return Action::kFadeIn;
  }
  return Action::kNone;
}

std::vector<int> TranslucencyFadeSteps(bool fade_in, uint8_t alpha) {
  std::vector<int> steps;
  if (fade_in) {
    for (int a = alpha; a <= 255; a += FadeController::kAlphaStep) steps.push_back(a);
    if (steps.empty() || steps.back() != 255) steps.push_back(255);
  } else {
    for (int a = 255; a > alpha; a -= FadeController::kAlphaStep) steps.push_back(a);
    steps.push_back(alpha);
  }
  return steps;
}

std::vector<int> SnapshotFade::Steps(bool show) {
  std::vector<int> steps;
  if (show) {
    for (int a = 0; a < 255; a += kStep) steps.push_back(a);
    steps.push_back(255);
  } else {
    for (int a = 255; a > 0; a -= kStep) steps.push_back(a);
    steps.push_back(0);
  }
  return steps;
}

}  // namespace korvo

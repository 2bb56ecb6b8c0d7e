// FadeController: the translucency of the ticker. With translucency on, the ticker is see-through
// (the user's alpha) and turns opaque for a new or unread item, or while the pointer rests on it;
// it turns see-through again afterwards. This class holds the modes and the state and decides;
// the headline window applies the decisions to both windows (layered styles, alphas, the
// one-shot animations of the skin).
//
// Modes (from the general flags): 4 translucency on (bit 14), 2 opaque for new items (bit 15),
// 8 opaque for unread items (bit 16), 16 opaque on hover (bit 20; the see-through ticker then
// lets clicks through). State: 1 a menu or dialog is open, 32 opaque because of an item, 64
// opaque because the pointer rests on the ticker, 128 a resize is in progress.
//
// Belongs to the window thread; times are milliseconds of a monotonic clock passed in.
#ifndef KORVO_TICKER_FADE_CONTROLLER_H_
#define KORVO_TICKER_FADE_CONTROLLER_H_

#include <cstdint>
#include <vector>

namespace korvo {

class FadeController {
 public:
  static constexpr uint32_t kModeOn = 4;
  static constexpr uint32_t kModeNew = 2;
  static constexpr uint32_t kModeUnread = 8;
  static constexpr uint32_t kModeHover = 16;
  static constexpr uint32_t kStateMenu = 1;
  static constexpr uint32_t kStateItem = 32;
  static constexpr uint32_t kStateHover = 64;
  static constexpr uint32_t kStateResize = 128;
  static constexpr int kRestMs = 500;  // the pointer has rested this long: opaque
  static constexpr int kAlphaStep = 16;

  // Event bits of an item: 1 unread, 2 new.
  static constexpr uint32_t kEventUnread = 1;
  static constexpr uint32_t kEventNew = 2;

  enum class Action { kNone, kFadeIn, kFadeOut };

  // The modes of general flags bits 14, 15, 16 and 20 (message 1131 and the start-up).
  static uint32_t ModesFromFlags(uint32_t flags);
  // An item's event from its state flags (bit 0 read, bit 1 new): message 1132.
  static uint32_t EventFromItemState(uint32_t state);

  void set_modes(uint32_t modes) { modes_ = modes; }
  uint32_t modes() const { return modes_; }
  void set_alpha(uint8_t alpha) { alpha_ = alpha; }
  uint8_t alpha() const { return alpha_; }
  uint32_t state() const { return state_; }
  bool on() const { return (modes_ & kModeOn) != 0; }

  // Apply (start-up, options changed): the state is cleared; the windows become layered (and
  // click-through with mode 16) at the user's alpha, or opaque without mode 4.
  void Apply() { state_ = 0; }

  // Menus, dialogs and resizes set and clear their state bits; while any is set nothing fades.
  void SetState(uint32_t bits) { state_ |= bits; }
  void ClearState(uint32_t bits) { state_ &= ~bits; }

  // The ticker is translucent and idle: translucency on and neither 32 nor 64 set.
  bool TranslucentAndIdle() const;

  // A new item is shown (message 1132).
  Action OnItem(uint32_t event);
  // The 500 ms timer: `inside` is whether the pointer is over either window, (x, y) its screen
  // position, `now_ms` the time.
  Action OnTimer(bool inside, int x, int y, int64_t now_ms);

 private:
  bool Quiet() const { return (state_ & ~(kStateItem | kStateHover)) == 0; }

  uint32_t modes_ = 0;
  uint32_t state_ = 0;
  uint8_t alpha_ = 128;
  int last_x_ = -1;
  int last_y_ = -1;
  int64_t last_move_ms_ = 0;
  bool seen_pointer_ = false;
};

// The alphas a fade goes through, in order, the last being the target: fading in rises from
// `alpha` by 16 while it stays within 255, then 255; fading out falls from 255 by 16 while it
// stays above `alpha`, then `alpha`.
std::vector<int> TranslucencyFadeSteps(bool fade_in, uint8_t alpha);

// The show and hide fade of the tray toggle: a snapshot of the ticker fades at 4 alpha units per
// 5 ms tick (320 ms for the whole way, 256 / 4 ticks).
struct SnapshotFade {
  static constexpr int kDurationMs = 320;
  static constexpr int kStep = 4;
  static constexpr int kPeriodMs = kDurationMs / (256 / kStep);
  // Hiding: 255, 251, ..., 3, 0. Showing: 0, 4, ..., 252, 255.
  static std::vector<int> Steps(bool show);
};

}  // namespace korvo

#endif  // KORVO_TICKER_FADE_CONTROLLER_H_

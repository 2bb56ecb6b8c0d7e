// EffectPlayer: one display effect (0-18) as a sequence of frames, one per 16 ms tick.
//
// The text is pre-rendered into a strip twice as wide as box width + text width W: blank for the
// first box width columns, then the text. A frame shows the box-sized window of the strip at
// horizontal offset x and vertical offset y: at x = 0 the box is blank (the text lies just beyond
// its right edge), at x = box width the text starts at the box's left edge, at x = box width + W
// it has left on the left. The held position is x = box width - centring offset, the centring
// offset being (box width - W) / 2 when W is narrower than the box, else 0. Vertically the text
// fills rows 0..H of the strip and blank rows follow; a frame marked `swapped` uses the strip
// with the halves exchanged (blank rows first), so that the text can enter from below or leave
// through the bottom.
//
//   0  marquee: x from 0 to box width + W, no hold.
//   1  rise: swapped, y from 0 to H (the text enters from below); hold; y from 0 to H (it leaves
//      through the top).
//   2  drop: y from H to 0 (enters from above); hold; swapped, y from H to 0 (leaves downwards).
//   3  rise and sink: enters from below; hold; leaves downwards.
//   4  drop and lift: enters from above; hold; leaves upwards.
//   7  reveal: the text is uncovered from its left edge over min(box width, W) pixels; hold;
//      out to the left (x from the held position to box width + W).
//   8  slide in from the left: x from box width + W to the held position; hold; out to the left.
//   9  open from the centre: uncovered symmetrically from the box's centre; hold; closed again.
//   10 fade: alpha from 0 to the fade's top alpha; hold; back to 0; then one blank frame at
//      alpha 255 (`kBlank`).
//   11 still: hold only.
//   13 scroll in, stop, scroll out: x from 0 to the held position; hold; on to box width + W.
//   14 as 13 with easing: decelerating in, accelerating out.
//   15 glide from the left: x from box width + W to the held position decelerating; hold; out to
//      the left accelerating.
//   17 zoom: the held text grows from 0 % to 100 % about the box centre; hold; shrinks to 0 %.
//   18 tilt: the text rolls in from below (drawn `tilt_shift` rows low, from the box height down
//      to 0) with a per-row horizontal scale that changes linearly from the top row to the
//      bottom row; the two end scales go from 3.0 / 0.01 at the start to 1.0 / 0.5 at the end.
// The random values 5, 6, 12 and 16 are resolved before (ChooseEffect); any other value shows
// nothing (the player has no frames).
//
// Moves into view end at the held position and moves out start there, so a text narrower than
// the box, which is held centred, does not jump between a move and the hold (for texts as wide
// as the box the held position is box width itself).
//
// Steps: motion_step.h. A move draws its start on its first tick, then one frame per tick; when
// a step reaches or passes the target the frame is drawn at the target and the move ends. A hold
// draws the held frame for ceil(hold time / 16 ms) ticks. No allocation: the player is a small
// value.
#ifndef KORVO_TICKER_EFFECT_PLAYER_H_
#define KORVO_TICKER_EFFECT_PLAYER_H_

#include <array>
#include <cstdint>

#include "ticker/motion_step.h"
#include "ticker/ticker_random.h"

namespace korvo {

// Effect numbers (the skin's `scroll` value).
namespace effect {
constexpr int kMarquee = 0;
constexpr int kRise = 1;
constexpr int kDrop = 2;
constexpr int kRiseAndSink = 3;
constexpr int kDropAndLift = 4;
constexpr int kRandom1 = 5;
constexpr int kRandom2 = 6;
constexpr int kReveal = 7;
constexpr int kSlideIn = 8;
constexpr int kOpenFromCentre = 9;
constexpr int kFade = 10;
constexpr int kStill = 11;
constexpr int kRandom3 = 12;
constexpr int kScrollStop = 13;
constexpr int kGlide = 14;
constexpr int kGlideFromLeft = 15;
constexpr int kRandom4 = 16;
constexpr int kZoom = 17;
constexpr int kTilt = 18;
}  // namespace effect

constexpr int kTickMilliseconds = 16;

// The sizes an effect moves in, in pixels.
struct EffectGeometry {
  int box_width = 0;
  int box_height = 0;
  int text_width = 0;   // W
  int text_height = 0;  // H
  int centring() const { return text_width < box_width ? (box_width - text_width) / 2 : 0; }
  int held_x() const { return box_width - centring(); }
};

struct EffectFrame {
  enum class Mode : uint8_t {
    kPlain,  // the strip window at (x, y)
    kClip,   // the same, but only box columns clip_left .. clip_right show it
    kAlpha,  // the strip window at (x, y) with the constant `alpha`
    kZoom,   // the strip window at (x, y) scaled to `zoom_percent` about the box centre
    kTilt,   // rows of the text with per-row scales, `tilt_shift` rows low
    kBlank,  // nothing but the background, at alpha 255
  };
  Mode mode = Mode::kPlain;
  int x = 0;
  int y = 0;
  bool swapped = false;
  int clip_left = 0;
  int clip_right = 0;
  int alpha = 255;
  int zoom_percent = 100;
  int tilt_shift = 0;
  int tilt_top_milli = 1000;  // horizontal scale of the text's top row, in thousandths
  int tilt_bottom_milli = 1000;
  bool operator==(const EffectFrame& o) const;
};

// Resolves the random effects with `random`: 5 → 0-4 (rand / 6553.6); 6 → 1-4 (1 + rand /
// 8192); 12 → 7-10 or 13 (7 + rand / 6553.6, 11 taken as 13); 16 → 7-10, 13-15 or 17 (7 +
// rand / 4096, and from 11 on 9 + rand / 4096 drawn anew, 16 taken as 17; the values 11 and 12
// this second draw can give are taken as 13 and as a draw of 12, so the choice stays among the
// effects the option names). Other values are returned as they are.
int ChooseEffect(int effect, TickerRandom* random);

class EffectPlayer {
 public:
  // `alpha_top`: the top alpha of the fade (255, or the user's alpha when the title is
  // translucent). `hold_ms`: the hold time.
  EffectPlayer(int effect, const EffectGeometry& geometry, int speed, uint32_t hold_ms,
               int alpha_top = 255);

  // The frame of the next tick; false when the effect has ended.
  bool Next(EffectFrame* frame);
  int effect() const { return effect_; }

 private:
  enum class Field : uint8_t { kX, kY, kReveal, kOpen, kAlpha, kZoom, kTilt };
  enum class Stepper : uint8_t { kMotion, kDecelerate, kAccelerate, kAlpha };
  struct Phase {
    enum class Kind : uint8_t { kRamp, kHold, kBlank } kind = Kind::kHold;
    Field field = Field::kX;
    Stepper stepper = Stepper::kMotion;
    int from = 0;  // a hold shows this value
    int to = 0;
    bool swapped = false;
  };

  void Add(const Phase& phase);
  void Ramp(Field field, int from, int to, bool swapped = false,
            Stepper stepper = Stepper::kMotion);
  // The held frame at the held position.
  void Hold();
  void BeginPhase();
  void Fill(const Phase& phase, int value, EffectFrame* frame) const;
  int Step(const Phase& phase);

  int effect_;
  EffectGeometry geometry_;
  int speed_;
  int hold_ticks_;
  int alpha_top_;
  std::array<Phase, 5> phases_{};
  int phase_count_ = 0;
  int phase_ = 0;
  // The running phase.
  bool started_ = false;
  int value_ = 0;
  int ticks_left_ = 0;
  MotionStep motion_;
  AlphaStep alpha_;
  EasedStep eased_;
};

}  // namespace korvo

#endif  // KORVO_TICKER_EFFECT_PLAYER_H_

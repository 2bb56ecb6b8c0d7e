// What a display run decides: steps, effect frame sequences, random effects, the composed text,
// the colours, and the run itself (stop, pause, the wait after the item).
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "ticker/effect_player.h"
#include "ticker/headline_display.h"
#include "ticker/headline_text.h"
#include "ticker/motion_step.h"
#include "ticker/ticker_test_support.h"

namespace korvo {
namespace {

using testing::FreeTicks;
using testing::GatedTicks;
using testing::RecordingRenderer;

std::vector<EffectFrame> Frames(int effect_number, const EffectGeometry& geometry, int speed,
                                uint32_t hold_ms = 160) {
  EffectPlayer player(effect_number, geometry, speed, hold_ms);
  std::vector<EffectFrame> frames;
  EffectFrame frame;
  while (player.Next(&frame) && frames.size() < 1000000) frames.push_back(frame);
  return frames;
}

TEST(MotionStep, SpeedsGivePixelsPerTickOrTicksPerPixel) {
  struct Case {
    int speed;
    int ticks;
    int pixels;
  };
  const Case cases[] = {{10, 30, 30}, {1, 30, 300}, {0, 2, 22},  {9, 5, 10},
                        {20, 11, 1},  {20, 21, 1},  {20, 22, 2}, {19, 100, 10}};
  for (const Case& c : cases) {
    MotionStep step(c.speed);
    int moved = 0;
    for (int i = 0; i < c.ticks; ++i) moved += step.Next();
    EXPECT_EQ(moved, c.pixels) << "speed " << c.speed << ", " << c.ticks << " ticks";
  }
  // The fade's alpha: speed 10 moves 8 a tick, speed 1 moves 37, speed 12 moves 8 every third.
  for (auto [speed, ticks, alpha] : {std::tuple{10, 4, 32}, {1, 2, 74}, {12, 6, 16}}) {
    AlphaStep step(speed);
    int moved = 0;
    for (int i = 0; i < ticks; ++i) moved += step.Next();
    EXPECT_EQ(moved, alpha) << "speed " << speed;
  }
}

TEST(EasedStep, GlidesSlowDownAndSpeedUpAndNeverStall) {
  // At speed 10 a decelerating glide starts with 8.8 pixels a tick and ends with 0.8.
  EasedStep out(10, true);
  EXPECT_EQ(out.Next(0.0), 8);
  EasedStep slow(10, true);
  int moved = 0;
  for (int i = 0; i < 5; ++i) moved += slow.Next(1.0);
  EXPECT_EQ(moved, 4);
  // Speeds 18 and 19 have d = 0: an accelerating glide starting at u = 0 still moves.
  for (int speed : {18, 19, 40}) {
    EasedStep start(speed, false);
    int pixels = 0;
    for (int i = 0; i < 10; ++i) pixels += start.Next(0.0);
    EXPECT_EQ(pixels, 1) << "speed " << speed;
  }
  // And the whole glide effects end at every speed.
  const EffectGeometry geometry{300, 20, 120, 20};
  for (int effect_number : {effect::kGlide, effect::kGlideFromLeft}) {
    for (int speed : {0, 1, 10, 17, 18, 19}) {
      const std::vector<EffectFrame> frames = Frames(effect_number, geometry, speed, 0);
      ASSERT_FALSE(frames.empty());
      EXPECT_LT(frames.size(), 20000u) << effect_number << " at speed " << speed;
      EXPECT_EQ(frames.back().x, 420) << effect_number << " at speed " << speed;
    }
  }
}

TEST(EffectPlayer, MarqueeCrossesTheBoxAtEachSpeed) {
  const EffectGeometry geometry{400, 20, 100, 20};
  struct Case {
    int speed;
    size_t frames;
    int second_x;
  };
  // Speed 10: 1 pixel a tick; speed 1: 10 pixels; speed 20: 1 pixel every 11 ticks.
  for (const Case& c : {Case{10, 501, 1}, Case{1, 51, 10}, Case{20, 5501, 0}}) {
    const std::vector<EffectFrame> frames = Frames(effect::kMarquee, geometry, c.speed);
    ASSERT_EQ(frames.size(), c.frames) << "speed " << c.speed;
    EXPECT_EQ(frames[0].x, 0);
    EXPECT_EQ(frames[1].x, c.second_x);
    EXPECT_EQ(frames.back().x, 500);
    for (size_t i = 1; i < frames.size(); ++i) ASSERT_GE(frames[i].x, frames[i - 1].x);
  }
  EXPECT_EQ(Frames(effect::kMarquee, geometry, 20)[11].x, 1);
}

// The shape of an effect: its phases as runs of frames (a run ends where the frame's kind of
// change switches), compared on a short text that is centred in the box.
TEST(EffectPlayer, EffectsRunTheirPhasesAtSpeedsOneTenAndTwenty) {
  const EffectGeometry geometry{200, 20, 100, 16};  // centring 50, held x 150
  const int hold_ticks = 10;                        // 160 ms
  struct Case {
    int effect_number;
    int speed;
    size_t frames;
    EffectFrame first;
    EffectFrame last;
  };
  auto frame = [](EffectFrame::Mode mode, int x, int y, bool swapped = false) {
    EffectFrame f;
    f.mode = mode;
    f.x = x;
    f.y = y;
    f.swapped = swapped;
    f.clip_right = 200;
    return f;
  };
  using M = EffectFrame::Mode;
  EffectFrame reveal_first = frame(M::kClip, 150, 0);
  reveal_first.clip_left = 50;
  reveal_first.clip_right = 50;
  EffectFrame open_last = frame(M::kClip, 150, 0);  // closed: nothing between 100 and 100
  open_last.clip_left = 100;
  open_last.clip_right = 100;
  EffectFrame fade_first = frame(M::kAlpha, 150, 0);
  fade_first.alpha = 0;
  EffectFrame zoom_first = frame(M::kZoom, 150, 0);
  zoom_first.zoom_percent = 0;
  EffectFrame blank = frame(M::kBlank, 0, 0);
  EffectFrame tilt_last = frame(M::kTilt, 150, 0);
  tilt_last.tilt_top_milli = 1000;
  tilt_last.tilt_bottom_milli = 500;
  const Case cases[] = {
      // Scroll in to the held position, hold, on out: 151 + 10 + 151 frames at speed 10.
      {effect::kScrollStop, 10, 151 + hold_ticks + 151, frame(M::kPlain, 0, 0),
       frame(M::kPlain, 300, 0)},
      {effect::kScrollStop, 1, 16 + hold_ticks + 16, frame(M::kPlain, 0, 0),
       frame(M::kPlain, 300, 0)},
      {effect::kScrollStop, 20, 150 * 11 + 1 + hold_ticks + 150 * 11 + 1, frame(M::kPlain, 0, 0),
       frame(M::kPlain, 300, 0)},
      // Rise: swapped 0..16, hold, 0..16.
      {effect::kRise, 10, 17 + hold_ticks + 17, frame(M::kPlain, 150, 0, true),
       frame(M::kPlain, 150, 16)},
      {effect::kDrop, 1, 3 + hold_ticks + 3, frame(M::kPlain, 150, 16),
       frame(M::kPlain, 150, 0, true)},
      {effect::kReveal, 10, 101 + hold_ticks + 151, reveal_first, frame(M::kPlain, 300, 0)},
      {effect::kOpenFromCentre, 20, 50 * 11 + 1 + hold_ticks + 50 * 11 + 1, open_last, open_last},
      {effect::kSlideIn, 10, 151 + hold_ticks + 151, frame(M::kPlain, 300, 0),
       frame(M::kPlain, 300, 0)},
      // Fade: 8 alpha levels a tick at speed 10 (0..255 in 33 frames), hold, down, one blank.
      {effect::kFade, 10, 33 + hold_ticks + 33 + 1, fade_first, blank},
      {effect::kZoom, 1, 11 + hold_ticks + 11, zoom_first, zoom_first},
      {effect::kTilt, 10, 21, frame(M::kTilt, 150, 0), tilt_last},
      {effect::kStill, 20, hold_ticks, frame(M::kPlain, 150, 0), frame(M::kPlain, 150, 0)},
      {19, 10, 0, {}, {}},
      {-1, 10, 0, {}, {}},
  };
  for (const Case& c : cases) {
    const std::vector<EffectFrame> frames = Frames(c.effect_number, geometry, c.speed);
    ASSERT_EQ(frames.size(), c.frames) << "effect " << c.effect_number << " speed " << c.speed;
    if (frames.empty()) continue;
    EffectFrame first = c.first;
    if (first.mode == M::kTilt) {
      first.tilt_shift = 20;
      first.tilt_top_milli = 3000;
      first.tilt_bottom_milli = 10;
    }
    EXPECT_TRUE(frames.front() == first) << "effect " << c.effect_number << " first x "
                                         << frames.front().x << " y " << frames.front().y;
    EXPECT_TRUE(frames.back() == c.last) << "effect " << c.effect_number << " last x "
                                         << frames.back().x << " y " << frames.back().y;
  }
  // A text wider than the box is held left-aligned (x = box width) and hold times round up.
  const std::vector<EffectFrame> wide = Frames(effect::kStill, {200, 20, 500, 16}, 10, 161);
  ASSERT_EQ(wide.size(), 11u);
  EXPECT_EQ(wide[0].x, 200);
}

TEST(EffectPlayer, RandomEffectsStayAmongTheirChoices) {
  struct Case {
    int effect_number;
    std::set<int> allowed;
  };
  const Case cases[] = {{effect::kRandom1, {0, 1, 2, 3, 4}},
                        {effect::kRandom2, {1, 2, 3, 4}},
                        {effect::kRandom3, {7, 8, 9, 10, 13}},
                        {effect::kRandom4, {7, 8, 9, 10, 13, 14, 15, 17}}};
  for (const Case& c : cases) {
    TickerRandom random(99);
    std::set<int> seen;
    for (int i = 0; i < 2000; ++i) seen.insert(ChooseEffect(c.effect_number, &random));
    EXPECT_EQ(seen, c.allowed) << "effect " << c.effect_number;
  }
  TickerRandom random(1);
  EXPECT_EQ(ChooseEffect(effect::kMarquee, &random), effect::kMarquee);
  EXPECT_EQ(ChooseEffect(effect::kTilt, &random), effect::kTilt);
}

TEST(HeadlineText, ComposesSiteTitleAndCutDescription) {
  TickerItem item;
  item.title = "Title";
  item.site_name = "Site";
  item.description = "0123456789";
  struct Case {
    uint32_t flags;
    int add_desc;
    const char* text;
  };
  const Case cases[] = {
      {0, 0, "Title"},
      {ticker_flags::kSitePrefix, 0, "Site    Title"},
      {0, 20, "Title    0123456789"},
      {0, 10, "Title    0123456789..."},  // exactly add_desc bytes: still "..."
      {0, 4, "Title    0123..."},
      {ticker_flags::kSitePrefix, 3, "Site    Title    012..."},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ComposeHeadline(item, c.flags, c.add_desc), c.text) << c.flags << "/" << c.add_desc;
  }
  // Cuts never split a two-byte CP932 character ("日本" is 93 FA 96 7B).
  item.description = "A\x93\xFA\x96\x7B";
  EXPECT_EQ(ComposeHeadline(item, 0, 2), "Title    A...");
  EXPECT_EQ(ComposeHeadline(item, 0, 3), "Title    A\x93\xFA...");
  item.title = std::string(5000, 'x') + "\x93\xFA";
  EXPECT_EQ(ComposeHeadline(item, 0, 0).size(), kMaxHeadlineBytes);
  item.title = std::string(kMaxHeadlineBytes - 1, 'x') + "\x93\xFA";
  EXPECT_EQ(ComposeHeadline(item, 0, 0).size(), kMaxHeadlineBytes - 1);
}

TEST(HeadlineText, ColoursFollowTheStateAndNeverEqualTheBackground) {
  HeadlineStyle style;
  style.user_colours = {0x0000FF, 0x00FF00, 0xFF0000};  // new, read, old
  style.skin_colours = {0x111111, 0x222222, 0x333333};
  struct Case {
    uint32_t state;
    bool skin;
    uint32_t flags;
    uint32_t background;
    uint32_t text;
  };
  const Case cases[] = {
      {TickerItem::kRead, false, 0, 0, 0x00FF00},
      {TickerItem::kRead | TickerItem::kNew, false, 0, 0, 0x00FF00},
      {TickerItem::kNew, false, 0, 0, 0x0000FF},
      {TickerItem::kAdded, false, 0, 0, 0xFF0000},
      {0, true, ticker_flags::kSkinColours, 0, 0x333333},
      {0, true, 0, 0, 0xFF0000},                            // the user asked for own colours
      {0, false, ticker_flags::kSkinColours, 0, 0xFF0000},  // no skin loaded
      {0, false, 0, 0xFF0000, 0xFFFF00},                    // same as background: inverse of new
  };
  for (const Case& c : cases) {
    style.skin_loaded = c.skin;
    style.flags = c.flags;
    const HeadlinePalette palette = ChoosePalette(c.state, style, c.background);
    EXPECT_EQ(palette.text, c.text) << c.state << " " << c.skin << " " << c.flags;
    EXPECT_EQ(palette.background, c.background);
  }
}

HeadlineJob Job(const std::string& title, int effect_number = effect::kMarquee) {
  HeadlineJob job;
  job.item.title = title;
  job.style.effect = effect_number;
  job.style.flags = 0;
  return job;
}

TEST(RunHeadline, StopEndsTheEffectAtOnceAndTheWaitCountsTicks) {
  DisplaySignals signals;
  RecordingRenderer renderer({400, 20, 100, 20});
  FreeTicks ticks;
  renderer.on_frame_ = [&](size_t count) {
    if (count == 5) signals.RequestStop();
  };
  EXPECT_EQ(RunHeadline(Job("a"), renderer, ticks, signals), -1);
  EXPECT_EQ(renderer.frames().size(), 5u);
  EXPECT_EQ(renderer.released(), 1);
  signals.ClearStop();

  // Ends by itself: every frame, then wait_seconds * 1000 / 16 ticks (1 s: 63 ticks).
  renderer.on_frame_ = nullptr;
  HeadlineJob job = Job("b", effect::kStill);
  job.style.hold_ms = 32;
  job.style.flags = 1u << ticker_flags::kWaitShift;
  ticks.ticks = 0;
  std::string text;
  EXPECT_EQ(RunHeadline(job, renderer, ticks, signals, &text), 0);
  EXPECT_EQ(text, "b");
  EXPECT_EQ(ticks.ticks, 2 + 1 + 63);  // two hold frames, the tick that finds the end, the wait
  EXPECT_EQ(renderer.released(), 2);

  // Nothing to show: no title, or no surfaces. One tick passes, nothing is drawn.
  const size_t frames = renderer.frames().size();
  ticks.ticks = 0;
  EXPECT_EQ(RunHeadline(Job(""), renderer, ticks, signals), 1);
  renderer.prepare_result_ = false;
  EXPECT_EQ(RunHeadline(Job("c"), renderer, ticks, signals), 1);
  EXPECT_EQ(ticks.ticks, 2);
  EXPECT_EQ(renderer.frames().size(), frames);
  EXPECT_EQ(renderer.released(), 2);
}

TEST(HeadlineDisplay, PauseHoldsTheFrameAndStopEndsThePause) {
  auto renderer_owned = std::make_unique<RecordingRenderer>(EffectGeometry{400, 20, 100, 20});
  auto ticks_owned = std::make_unique<GatedTicks>();
  RecordingRenderer* renderer = renderer_owned.get();
  GatedTicks* ticks = ticks_owned.get();
  HeadlineDisplay display(std::move(renderer_owned), std::move(ticks_owned));
  int idle = 0;
  display.SetIdleCallback([&] { ++idle; });
  ASSERT_TRUE(display.Show(Job("a")));
  EXPECT_TRUE(display.running());
  EXPECT_FALSE(display.Show(Job("b")));  // one item at a time
  ticks->Release(3);
  renderer->WaitFrames(3);
  display.SetPaused(true);
  ticks->Release(5);
  // The paused thread takes one more tick and then stands still: no frame while paused.
  ticks->WaitConsumed(4);
  EXPECT_EQ(renderer->frames().size(), 3u);
  display.SetPaused(false);
  renderer->WaitFrames(4);
  // The frames go on from where they stood.
  const auto frames = renderer->frames();
  EXPECT_EQ(frames[3].second.x, 3);
  // A stop while paused ends the item (a suspended thread could never see the flag).
  display.SetPaused(true);
  display.StopNow();
  EXPECT_FALSE(display.running());
  display.Shutdown();
  EXPECT_EQ(idle, 1);
  EXPECT_FALSE(display.Show(Job("c")));
}

}  // namespace
}  // namespace korvo

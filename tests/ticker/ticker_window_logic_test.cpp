// The ticker windows' decisions: tooltip texts and room, translucency fades, pointer rules
// (clicks, snapping, grips) and the skin window's animation state.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ticker/fade_controller.h"
#include "ticker/skin_animation.h"
#include "ticker/ticker_pointer.h"
#include "ticker/ticker_tooltip.h"

namespace korvo {
namespace {

TEST(TickerTooltipTest, PartsLinesAndFlags) {
  TooltipParts p;
  EXPECT_EQ(BuildTickerTooltip(p), "_");
  p.site_name = "Site";
  p.category = "Tech";
  p.title = "Title";
  p.author = "Ann";
  p.created = "2024-05-01";
  p.description = "Body";
  EXPECT_EQ(BuildTickerTooltip(p),
            "Site \x81\x46 Tech\r\nTitle\r\nby Ann\r\n2024-05-01\r\n\r\n Body\r\n");
  EXPECT_EQ(BuildTickerTooltip(p, tip_flag::kTitle | tip_flag::kDescription),
            "Title\r\n\r\n Body\r\n");
  EXPECT_EQ(BuildTickerTooltip(p, tip_flag::kDescription), " Body\r\n");
  EXPECT_EQ(BuildTickerTooltip(p, tip_flag::kCategory), " \x81\x46 Tech\r\n");
  // A description that starts with a blank or a full-width blank gets no extra blank.
  p.description = "\x81\x40x";
  EXPECT_EQ(BuildTickerTooltip(p, tip_flag::kDescription), "\x81\x40x\r\n");
}

TEST(TickerTooltipTest, CutsOnCharacterBoundariesWithinTheBuffer) {
  TooltipParts p;
  // 63 ASCII bytes then a two-byte character: the 64-byte cut leaves the character out.
  p.site_name = std::string(63, 's') + "\x82\xa0";
  p.title = std::string(200, 't');
  p.description = std::string(10000, 'd') + "\x82\xa0";
  const std::string text = BuildTickerTooltip(p);
  EXPECT_EQ(text.compare(0, 65, std::string(63, 's') + "\r\n"), 0);
  EXPECT_NE(text.find(std::string(128, 't') + "\r\n"), std::string::npos);
  EXPECT_EQ(text.find(std::string(129, 't')), std::string::npos);
  EXPECT_LE(text.size(), kTooltipTextLimit);
  EXPECT_LT(text.size() + 1, kTooltipBufferSize);
  EXPECT_EQ(text.substr(text.size() - 2), "\r\n");
  // Two-byte characters throughout: the cut never leaves a lead byte alone.
  std::string wide;
  for (int i = 0; i < 3000; ++i) wide += "\x82\xa0";
  p.description = wide;
  const std::string cut = BuildTickerTooltip(p, tip_flag::kDescription);
  EXPECT_EQ((cut.size() - 3) % 2, 0u);  // blank, pairs, CR LF
}

TEST(TickerTooltipTest, RoomAboveOrBelowAndFitting) {
  EXPECT_EQ(ComputeTooltipRoom(0, 40, 800), (TooltipRoom{750, 41}));
  EXPECT_EQ(ComputeTooltipRoom(700, 740, 800), (TooltipRoom{690, 0}));
  const TooltipFit tall = FitTooltip(900, {690, 0});
  EXPECT_TRUE(tall.cut);
  EXPECT_EQ(tall.height, 690);
  EXPECT_FALSE(FitTooltip(100, {690, 0}).cut);
  EXPECT_TRUE(TooltipMadeTopmost(1u << 17));
  EXPECT_FALSE(TooltipMadeTopmost(1u << 17 | 1u << 8));
  EXPECT_FALSE(TooltipMadeTopmost(0));
}

TEST(FadeControllerTest, ModesEventsAndIdle) {
  EXPECT_EQ(FadeController::ModesFromFlags(1u << 14 | 1u << 15 | 1u << 16 | 1u << 20), 30u);
  EXPECT_EQ(FadeController::ModesFromFlags(1u << 14), FadeController::kModeOn);
  EXPECT_EQ(FadeController::EventFromItemState(0), FadeController::kEventUnread);
  EXPECT_EQ(FadeController::EventFromItemState(1), 0u);
  EXPECT_EQ(FadeController::EventFromItemState(6), 3u);  // new and unread
  FadeController f;
  EXPECT_FALSE(f.TranslucentAndIdle());
  f.set_modes(FadeController::kModeOn);
  EXPECT_TRUE(f.TranslucentAndIdle());
}

TEST(FadeControllerTest, ItemsTurnTheTickerOpaqueAndBack) {
  FadeController f;
  f.set_modes(FadeController::kModeOn | FadeController::kModeNew);
  using A = FadeController::Action;
  EXPECT_EQ(f.OnItem(FadeController::kEventNew), A::kFadeIn);
  EXPECT_EQ(f.state(), FadeController::kStateItem);
  EXPECT_EQ(f.OnItem(FadeController::kEventNew), A::kNone);        // already opaque
  EXPECT_EQ(f.OnItem(FadeController::kEventUnread), A::kFadeOut);  // mode 8 is off
  EXPECT_EQ(f.state(), 0u);
  // A menu is open: nothing fades.
  f.SetState(FadeController::kStateMenu);
  EXPECT_EQ(f.OnItem(FadeController::kEventNew), A::kNone);
  f.ClearState(FadeController::kStateMenu);
  f.set_modes(FadeController::kModeOn | FadeController::kModeUnread);
  EXPECT_EQ(f.OnItem(FadeController::kEventUnread), A::kFadeIn);
  // Without translucency nothing happens at all.
  FadeController off;
  off.set_modes(FadeController::kModeNew);
  EXPECT_EQ(off.OnItem(FadeController::kEventNew), A::kNone);
}

TEST(FadeControllerTest, Resting500MsOnTheTickerMakesItOpaque) {
  FadeController f;
  f.set_modes(FadeController::kModeOn | FadeController::kModeHover);
  using A = FadeController::Action;
  EXPECT_EQ(f.OnTimer(true, 10, 10, 0), A::kNone);
  EXPECT_EQ(f.OnTimer(true, 12, 10, 500), A::kNone);  // moved
  EXPECT_EQ(f.OnTimer(true, 12, 10, 999), A::kNone);  // still for 499 ms
  EXPECT_EQ(f.OnTimer(true, 12, 10, 1000), A::kFadeIn);
  EXPECT_EQ(f.state(), FadeController::kStateHover);
  EXPECT_FALSE(f.TranslucentAndIdle());
  EXPECT_EQ(f.OnTimer(true, 30, 10, 1500), A::kNone);  // moving on it keeps it opaque
  EXPECT_EQ(f.OnTimer(false, 900, 600, 2000), A::kFadeOut);
  EXPECT_EQ(f.state(), 0u);
  // A resize in progress holds everything.
  f.SetState(FadeController::kStateResize);
  EXPECT_EQ(f.OnTimer(true, 5, 5, 3000), A::kNone);
  EXPECT_EQ(f.OnTimer(true, 5, 5, 4000), A::kNone);
  f.ClearState(FadeController::kStateResize);
  EXPECT_EQ(f.OnTimer(true, 5, 5, 4500), A::kFadeIn);
  // Without mode 16 resting does nothing.
  FadeController plain;
  plain.set_modes(FadeController::kModeOn);
  plain.OnTimer(true, 1, 1, 0);
  EXPECT_EQ(plain.OnTimer(true, 1, 1, 5000), A::kNone);
}

TEST(FadeControllerTest, AlphaSequences) {
  const std::vector<int> in = TranslucencyFadeSteps(true, 128);
  EXPECT_EQ(in.front(), 128);
  EXPECT_EQ(in[1], 144);
  EXPECT_EQ(in[in.size() - 2], 240);
  EXPECT_EQ(in.back(), 255);
  const std::vector<int> out = TranslucencyFadeSteps(false, 128);
  EXPECT_EQ(out.front(), 255);
  EXPECT_EQ(out[out.size() - 2], 143);
  EXPECT_EQ(out.back(), 128);
  EXPECT_EQ(TranslucencyFadeSteps(true, 255), std::vector<int>({255}));
  EXPECT_EQ(SnapshotFade::kPeriodMs, 5);
  const std::vector<int> hide = SnapshotFade::Steps(false);
  EXPECT_EQ(hide.size(), 65u);
  EXPECT_EQ(hide[1], 251);
  EXPECT_EQ(hide.back(), 0);
  const std::vector<int> show = SnapshotFade::Steps(true);
  EXPECT_EQ(show.front(), 0);
  EXPECT_EQ(show.back(), 255);
}

TEST(TickerPointerTest, ClicksSnappingAndGrips) {
  EXPECT_TRUE(IsHeadlineClick({100, 50}, {101, 49}));  // 1-pixel jitter
  EXPECT_FALSE(IsHeadlineClick({100, 50}, {102, 50}));
  EXPECT_TRUE(IsNewsBoxClick(499));
  EXPECT_FALSE(IsNewsBoxClick(500));

  const struct {
    TickerPoint to;
    bool multi;
    TickerPoint want;
  } snaps[] = {
      {{8, 300}, false, {0, 300}},  // x = 8 jumps to 0
      {{9, 8}, false, {9, 0}},
      {{875, 200}, false, {880, 200}},  // right edge 5 pixels from the screen's: flush
      {{870, 200}, false, {870, 200}},  // 10 pixels away: stays
      {{900, 770}, false, {880, 760}},  // beyond the edges: back to them
      {{-50, -3}, false, {0, 0}},
      {{-50, 900}, true, {-50, 900}},  // several monitors: no snapping
  };
  for (const auto& s : snaps) {
    EXPECT_EQ(SnapTickerPosition(s.to, 400, 40, 1280, 800, s.multi), s.want) << s.to.x;
  }

  EXPECT_EQ(GripAt(396, 10, 400, 40, 5, 5), TickerGrip::kHorizontal);
  EXPECT_EQ(GripAt(398, 38, 400, 40, 5, 5), TickerGrip::kHorizontal);  // the corner: horizontal
  EXPECT_EQ(GripAt(200, 36, 400, 40, 5, 5), TickerGrip::kVertical);
  EXPECT_EQ(GripAt(394, 34, 400, 40, 5, 5), TickerGrip::kNone);
  EXPECT_EQ(GripAt(399, 39, 400, 40, 0, 0), TickerGrip::kNone);
  int w = 400;
  int h = 40;
  ResizeBy(TickerGrip::kHorizontal, {398, 10}, {450, 30}, &w, &h);
  EXPECT_EQ(w, 452);
  EXPECT_EQ(h, 40);
}

TEST(SkinAnimationTest, LoopingOneShotAndFrozen) {
  using T = SkinAnimation::Timer;
  SkinAnimation a;
  SkinAnimation::Step s = a.Start(2, 4);
  EXPECT_EQ(s.loop, T::kStart);
  EXPECT_TRUE(s.repaint);
  for (int i = 1; i <= 4; ++i) {
    s = a.LoopTick();
    EXPECT_TRUE(s.draw_frame);
    EXPECT_EQ(a.frame(), i % 4);
  }
  EXPECT_EQ(a.Start(1, 1).loop, T::kStop);  // one frame: no timer
  EXPECT_FALSE(a.running());
  EXPECT_FALSE(a.LoopTick().draw_frame);

  a.Start(2, 4);
  a.LoopTick();
  s = a.PlayOnce(5, 3);
  EXPECT_EQ(s.loop, T::kStop);
  EXPECT_EQ(s.one_shot, T::kStart);
  EXPECT_EQ(a.PlayOnce(6, 3).one_shot, T::kKeep);  // ignored while one runs
  EXPECT_EQ(a.Stop(false).loop, T::kKeep);         // ignored too
  a.Start(3, 6);                                   // kept for later
  EXPECT_EQ(a.row(), 5);
  EXPECT_TRUE(a.OneShotTick().draw_frame);
  EXPECT_TRUE(a.OneShotTick().draw_frame);
  s = a.OneShotTick();
  EXPECT_TRUE(s.end_one_shot);
  s = a.EndOneShot();
  EXPECT_EQ(a.row(), 3);  // the request that came meanwhile
  EXPECT_EQ(a.frames(), 6);
  EXPECT_EQ(s.loop, T::kStart);

  // Without a request the interrupted animation comes back where it was.
  a.Start(2, 4);
  a.LoopTick();
  a.PlayOnce(5, 2);
  a.EndOneShot();
  EXPECT_EQ(a.row(), 2);
  EXPECT_EQ(a.frame(), 1);

  a.ToggleFrozen();
  EXPECT_FALSE(a.LoopTick().draw_frame);
  EXPECT_TRUE(a.ToggleFrozen().repaint);
  EXPECT_EQ(a.Pause().loop, T::kStop);
  EXPECT_EQ(a.Start(4, 3).loop, T::kStop);  // paused: no timer until resumed
  EXPECT_EQ(a.Resume().loop, T::kStart);
  EXPECT_EQ(a.PlayOnce(1, 1).repaint, true);  // fewer than 2 frames: only a repaint
  EXPECT_FALSE(a.one_shot());
  a.PlayOnce(1, 3);
  s = a.Stop(true);
  EXPECT_EQ(s.one_shot, T::kStop);
  EXPECT_EQ(a.row(), 0);
  EXPECT_FALSE(a.one_shot());
}

}  // namespace
}  // namespace korvo

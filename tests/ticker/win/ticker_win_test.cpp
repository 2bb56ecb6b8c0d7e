// korvo.exe's side of the ticker, in the test's own process: the GDI renderer's strips and
// frames, the waitable 16 ms clock, the clipboard, and the headline window's layout and
// commands.
#include <gtest/gtest.h>
#include <windows.h>

#include <chrono>
#include <string>

#include "platform/code_page.h"
#include "shell/main_window_ids.h"
#include "ticker/headline_layout.h"
#include "ticker/win/gdi_headline_renderer.h"
#include "ticker/win/headline_window.h"
#include "ticker/win/headline_window_host.h"
#include "ticker/win/waitable_tick_source.h"

namespace korvo {
namespace {

// A plain top-level window of `width` x `height` client pixels.
class TestWindow {
 public:
  TestWindow(int width, int height) {
    WNDCLASSW wc = {};
    wc.lpfnWndProc = DefWindowProcW;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"KorvoTickerTest";
    RegisterClassW(&wc);
    hwnd_ = CreateWindowExW(0, L"KorvoTickerTest", L"t", WS_POPUP | WS_VISIBLE, 0, 0, width, height,
                            nullptr, nullptr, wc.hInstance, nullptr);
  }
  ~TestWindow() { DestroyWindow(hwnd_); }
  HWND hwnd() const { return hwnd_; }

 private:
  HWND hwnd_ = nullptr;
};

// Opens the renderer's surfaces to the test.
class OpenRenderer : public GdiHeadlineRenderer {
 public:
  using GdiHeadlineRenderer::GdiHeadlineRenderer;
  const Surface& strip() const { return strip_; }
  const Surface& swapped() const { return swapped_; }
  const Surface& back() const { return back_; }
  // Pixels of `surface` in the rectangle that differ from the background.
  int TextPixels(const Surface& surface, int x0, int y0, int x1, int y1) const {
    GdiFlush();
    int count = 0;
    for (int y = y0; y < y1 && y < surface.height; ++y) {
      for (int x = x0; x < x1 && x < surface.width; ++x) {
        if (surface.bits[static_cast<size_t>(y) * surface.width + x] != 0) ++count;
      }
    }
    return count;
  }
};

HeadlineJob Job(const std::string& utf8_title) {
  HeadlineJob job;
  job.item.title = platform::Utf8ToCp932(utf8_title);
  job.item.state = TickerItem::kNew;
  job.style.back_colour = 0;  // black: a pixel of the background is 0
  job.style.font_size = 20;
  job.style.flags = 0;
  return job;
}

TEST(GdiHeadlineRenderer, DrawsTheTextIntoTheStripsBeyondTheBox) {
  TestWindow window(300, 24);
  ASSERT_NE(window.hwnd(), nullptr);
  OpenRenderer renderer([&] { return window.hwnd(); });
  const HeadlineJob job = Job(u8"日本語の見出し");
  EffectGeometry geometry;
  ASSERT_TRUE(renderer.Prepare(job, job.item.title, &geometry));
  EXPECT_EQ(geometry.box_width, 300);
  EXPECT_EQ(geometry.box_height, 24);
  EXPECT_GT(geometry.text_width, 60);
  EXPECT_GT(geometry.text_height, 10);
  const int b = geometry.box_width;
  const int h = geometry.text_height;
  // Nothing before x = box width; the text after it, in the top rows of the plain strip and
  // below the blank rows in the swapped one.
  EXPECT_EQ(renderer.TextPixels(renderer.strip(), 0, 0, b, renderer.strip().height), 0);
  EXPECT_GT(renderer.TextPixels(renderer.strip(), b, 0, b + geometry.text_width, h), 20);
  EXPECT_EQ(
      renderer.TextPixels(renderer.strip(), b, h, renderer.strip().width, renderer.strip().height),
      0);
  EXPECT_EQ(renderer.TextPixels(renderer.swapped(), 0, 0, renderer.swapped().width, h), 0);
  EXPECT_GT(renderer.TextPixels(renderer.swapped(), b, h, b + geometry.text_width, 2 * h), 20);
  // Every kind of frame can be shown; the composed ones go through the back buffer.
  EffectFrame frame;
  frame.x = b;
  for (EffectFrame::Mode mode :
       {EffectFrame::Mode::kPlain, EffectFrame::Mode::kClip, EffectFrame::Mode::kAlpha,
        EffectFrame::Mode::kZoom, EffectFrame::Mode::kTilt, EffectFrame::Mode::kBlank}) {
    frame.mode = mode;
    frame.clip_left = 0;
    frame.clip_right = b;
    renderer.Present(frame);
  }
  EXPECT_EQ(renderer.TextPixels(renderer.back(), 0, 0, b, 24), 0);  // the blank frame
  frame.mode = EffectFrame::Mode::kClip;
  frame.clip_left = 0;
  frame.clip_right = 40;
  renderer.Present(frame);
  EXPECT_GT(renderer.TextPixels(renderer.back(), 0, 0, 40, 24), 10);
  EXPECT_EQ(renderer.TextPixels(renderer.back(), 40, 0, b, 24), 0);
  renderer.Release();
  EXPECT_EQ(renderer.strip().dc, nullptr);
}

TEST(GdiHeadlineRenderer, CutsAnOverlongTitleAndSkipsAWindowlessItem) {
  TestWindow window(400, 24);
  OpenRenderer renderer([&] { return window.hwnd(); });
  std::string title;
  for (int i = 0; i < 1000; ++i) title += u8"長";
  const HeadlineJob job = Job(title);
  EffectGeometry geometry;
  ASSERT_TRUE(renderer.Prepare(job, job.item.title, &geometry));
  EXPECT_LE(geometry.text_width, MaxTextWidth(400));
  EXPECT_LT(renderer.drawn_text().size(), 1000u);
  EXPECT_GT(renderer.drawn_text().size(), 100u);
  EXPECT_LE(renderer.strip().width, kMaxStripWidth);
  renderer.Release();
  // The electric-sign style spreads the text out by about one and a half.
  HeadlineJob electric = Job(u8"電光");
  electric.style.flags = ticker_flags::kElectricSign;
  EffectGeometry plain_geometry;
  const HeadlineJob plain = Job(u8"電光");
  ASSERT_TRUE(renderer.Prepare(plain, plain.item.title, &plain_geometry));
  renderer.Release();
  ASSERT_TRUE(renderer.Prepare(electric, electric.item.title, &geometry));
  EXPECT_EQ(geometry.text_width, ElectricSignSize(plain_geometry.text_width));
  renderer.Release();
  // No window: the item cannot be prepared (the display shows the next one).
  GdiHeadlineRenderer none([] { return static_cast<HWND>(nullptr); });
  EXPECT_FALSE(none.Prepare(job, job.item.title, &geometry));
}

TEST(WaitableTickSource, TicksEverySixteenMillisecondsAndAnInterruptIsImmediate) {
  WaitableTickSource ticks;
  ticks.Begin();
  const auto start = std::chrono::steady_clock::now();
  for (int i = 0; i < 6; ++i) ticks.Wait();  // the first comes after 0.1 ms
  const auto elapsed = std::chrono::steady_clock::now() - start;
  EXPECT_GE(elapsed, std::chrono::milliseconds(5 * 16 - 8));
  ticks.Interrupt();
  const auto before = std::chrono::steady_clock::now();
  ticks.End();
  ticks.Wait();  // the timer is off: only the interrupt can end this wait
  EXPECT_LT(std::chrono::steady_clock::now() - before, std::chrono::milliseconds(200));
}

class NoDisplay : public TickerDisplay {
 public:
  bool Show(HeadlineJob) override { return false; }
  bool running() const override { return false; }
  void StopNow() override {}
  void SetPaused(bool) override {}
  void SetIdleCallback(std::function<void()>) override {}
  void Shutdown() override {}
};

TEST(HeadlineWindow, LaysOutFromTheFontAndPassesCommandsToTheEngine) {
  TestWindow window(400, 40);
  auto lists = std::make_shared<TickerLists>("");
  auto headline = std::make_shared<HeadlineWindow>(lists, "");
  TickerEngine::Parts parts;
  parts.lists = lists;
  parts.display = std::make_shared<NoDisplay>();
  auto engine = std::make_shared<TickerEngine>(std::move(parts));
  headline->SetEngine(engine);
  headline->Attach(window.hwnd());
  GeneralSettings settings;
  settings.font_size = 20;
  headline->ApplySettings(settings);
  RECT r;
  GetWindowRect(window.hwnd(), &r);
  EXPECT_EQ(r.right - r.left, 400);
  EXPECT_EQ(r.bottom - r.top, headline->layout_height());
  EXPECT_GE(headline->layout_height(), 16);
  EXPECT_LE(headline->layout_height(), 34);
  settings.flags |= ticker_flags::kElectricSign;
  const int plain = headline->layout_height();
  headline->ApplySettings(settings);
  EXPECT_EQ(headline->layout_height(), plain * 3 / 2);

  LRESULT result = 0;
  for (int command : {menu_command::kNextItem, menu_command::kPreviousItem,
                      menu_command::kOpenInBrowser, menu_command::kCopyUrl}) {
    EXPECT_TRUE(headline->HandleMessage(window.hwnd(), WM_COMMAND, command, 0, &result));
  }
  EXPECT_EQ(engine->queued(), 4u);
  EXPECT_FALSE(headline->HandleMessage(window.hwnd(), WM_COMMAND, 32779, 0, &result));
  // An entry of the news-item menu beyond the list does nothing but is handled.
  EXPECT_TRUE(headline->HandleMessage(window.hwnd(), WM_COMMAND, 40005, 0, &result));
  EXPECT_TRUE(headline->HandleMessage(window.hwnd(), WM_ERASEBKGND,
                                      reinterpret_cast<WPARAM>(GetDC(window.hwnd())), 0, &result));
  EXPECT_EQ(result, 1);
}

TEST(HeadlineWindowHost, CopiesTheLinkToTheClipboardAsUnicodeText) {
  TestWindow window(100, 20);
  auto headline = std::make_shared<HeadlineWindow>(std::make_shared<TickerLists>(""), "");
  headline->Attach(window.hwnd());
  HeadlineWindowHost host(headline);
  const std::string link = platform::Utf8ToCp932(u8"http://example.com/日本");
  ASSERT_TRUE(host.CopyToClipboard(link));
  ASSERT_TRUE(OpenClipboard(window.hwnd()));
  HANDLE data = GetClipboardData(CF_UNICODETEXT);
  ASSERT_NE(data, nullptr);
  const std::wstring text(static_cast<const wchar_t*>(GlobalLock(data)));
  GlobalUnlock(data);
  CloseClipboard();
  EXPECT_EQ(text, L"http://example.com/\u65E5\u672C");
}

}  // namespace
}  // namespace korvo

// ticker_frames_bench [items]   (default: 200 items per effect)
//
// The display thread's work per frame, without a screen: RunHeadline plays each effect of a
// long list of headlines on a tick source that never waits, with a renderer that does what the
// GDI renderer does per frame in memory: copies the box-sized window of a pre-rendered 32-bit
// strip (800 x 24 box) to a frame buffer, or composes a blank-and-copy for the composed frames.
// For each effect it prints the frames, the time per frame and the allocations per frame (every
// operator new between a run's first and last frame counts; the figure must be 0).
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>
#include <string>
#include <vector>

#include "ticker/effect_player.h"
#include "ticker/headline_display.h"

namespace {

std::atomic<long> g_allocations{0};

}  // namespace

void* operator new(std::size_t size) {
  g_allocations.fetch_add(1, std::memory_order_relaxed);
  if (void* p = std::malloc(size == 0 ? 1 : size)) return p;
  throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }

namespace korvo {
namespace {

constexpr int kBoxWidth = 800;
constexpr int kBoxHeight = 24;

class FreeTicks : public TickSource {
 public:
  void Begin() override {}
  void Wait() override {}
  void End() override {}
  void Interrupt() override {}
};

// Copies strip windows like BitBlt would; counts allocations from the first frame to the last.
class MemoryRenderer : public HeadlineRenderer {
 public:
  bool Prepare(const HeadlineJob& /*job*/, const std::string& text,
               EffectGeometry* geometry) override {
    geometry->box_width = kBoxWidth;
    geometry->box_height = kBoxHeight;
    geometry->text_width = static_cast<int>(text.size()) * 10;
    geometry->text_height = 22;
    width_ = 2 * (kBoxWidth + geometry->text_width);
    height_ = 2 * kBoxHeight;
    strip_.assign(static_cast<size_t>(width_) * height_, 0x00FFD700u);
    frame_.assign(static_cast<size_t>(kBoxWidth) * kBoxHeight, 0);
    first_ = true;
    return true;
  }
  void Present(const EffectFrame& frame) override {
    if (first_) {
      allocations_at_first_ = g_allocations.load();
      first_ = false;
    }
    const int x = std::min(frame.x, width_ - kBoxWidth);
    const int y = std::min(frame.y, height_ - kBoxHeight);
    if (frame.mode != EffectFrame::Mode::kPlain) {
      std::memset(frame_.data(), 0, frame_.size() * sizeof(uint32_t));
    }
    for (int row = 0; row < kBoxHeight; ++row) {
      std::memcpy(&frame_[static_cast<size_t>(row) * kBoxWidth],
                  &strip_[static_cast<size_t>(y + row) * width_ + x], kBoxWidth * sizeof(uint32_t));
    }
    ++frames_;
    allocations_ += g_allocations.load() - allocations_at_first_;
    allocations_at_first_ = g_allocations.load();
  }
  void Release() override {}

  long frames_ = 0;
  long allocations_ = 0;

 private:
  std::vector<uint32_t> strip_;
  std::vector<uint32_t> frame_;
  int width_ = 0;
  int height_ = 0;
  bool first_ = true;
  long allocations_at_first_ = 0;
};

}  // namespace
}  // namespace korvo

int main(int argc, char** argv) {
  using namespace korvo;
  const int items = argc > 1 ? std::max(1, std::atoi(argv[1])) : 200;
  std::printf("ticker_frames_bench: %d items per effect, box %d x %d\n", items, kBoxWidth,
              kBoxHeight);
  std::printf("%-8s %10s %14s %18s\n", "effect", "frames", "ns per frame", "allocs per frame");
  for (int effect_number : {0, 1, 7, 9, 10, 13, 14, 17, 18}) {
    MemoryRenderer renderer;
    FreeTicks ticks;
    DisplaySignals signals;
    HeadlineJob job;
    job.item.title = "Ticker benchmark headline with a fairly long text to scroll across the box";
    job.style.effect = effect_number;
    job.style.flags = 0;
    job.style.hold_ms = 400;
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < items; ++i) RunHeadline(job, renderer, ticks, signals);
    const double ns =
        std::chrono::duration<double, std::nano>(std::chrono::steady_clock::now() - start).count();
    std::printf("%-8d %10ld %14.1f %18.3f\n", effect_number, renderer.frames_,
                ns / static_cast<double>(renderer.frames_),
                static_cast<double>(renderer.allocations_) / static_cast<double>(renderer.frames_));
  }
  return 0;
}

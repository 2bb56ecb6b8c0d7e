// TimingRenderer: the renderer of korvo-headless. It draws nothing; it gives the effects sizes
// as a window would, so every item takes as long as it would on screen: the box is the style's
// window width by the font size, and the text is as wide as a font of that size would make it
// (half the font size per byte: a two-byte CP932 character is one full-width square, an ASCII
// byte half of it).
#ifndef KORVO_TICKER_TIMING_RENDERER_H_
#define KORVO_TICKER_TIMING_RENDERER_H_

#include <cstdint>

#include "ticker/headline_display.h"

namespace korvo {

class TimingRenderer : public HeadlineRenderer {
 public:
  bool Prepare(const HeadlineJob& job, const std::string& text, EffectGeometry* geometry) override;
  void Present(const EffectFrame& /*frame*/) override { ++frames_; }
  void Release() override {}

  uint64_t frames() const { return frames_; }

 private:
  uint64_t frames_ = 0;
};

}  // namespace korvo

#endif  // KORVO_TICKER_TIMING_RENDERER_H_

#include "ticker/win/layered_headline_renderer.h"

#include <utility>

namespace korvo {

LayeredHeadlineRenderer::LayeredHeadlineRenderer(std::function<HWND()> window,
                                                 std::function<HeadlinePresentation()> mode)
    : GdiHeadlineRenderer(std::move(window)), mode_source_(std::move(mode)) {}

void LayeredHeadlineRenderer::Present(const EffectFrame& frame) {
  mode_ = mode_source_ ? mode_source_() : HeadlinePresentation();
  if (!mode_.per_pixel || window_dc_ == nullptr || back_.dc == nullptr) {
    GdiHeadlineRenderer::Present(frame);
    return;
  }
  // Plain frames and the fade's frames: the strip window into the back buffer; the fade's alpha
  // becomes the window's constant alpha instead of a blend with the background.
  if (frame.mode == EffectFrame::Mode::kPlain || frame.mode == EffectFrame::Mode::kAlpha) {
    const Surface& strip = frame.swapped ? swapped_ : strip_;
    BitBlt(back_.dc, 0, 0, box_width_, box_height_, strip.dc, frame.x, frame.y, SRCCOPY);
    if (frame.mode == EffectFrame::Mode::kAlpha) {
      const int alpha = frame.alpha * mode_.blend.alpha / 255;
      mode_.blend.alpha = static_cast<uint8_t>(alpha < 0 ? 0 : (alpha > 255 ? 255 : alpha));
      mode_.blend.use_alpha = true;
    }
    PresentBack();
    return;
  }
  GdiHeadlineRenderer::Present(frame);  // composes into the back buffer, then PresentBack
}

void LayeredHeadlineRenderer::PresentBack() {
  if (!mode_.per_pixel) {
    GdiHeadlineRenderer::PresentBack();
    return;
  }
  GdiFlush();
  PresentLayeredFrame(window_, back_.dc, box_width_, box_height_, background_colour(), mode_.blend);
}

}  // namespace korvo

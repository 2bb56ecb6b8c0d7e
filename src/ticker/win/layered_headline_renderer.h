// LayeredHeadlineRenderer: the headline drawing of korvo.exe with the skin's part: the strips'
// background is the skin face's colour at the news box (the colour key), and while per-pixel
// drawing is on (the skin's news box is transparent, or the ticker is translucent and idle) every
// frame goes through the back buffer to UpdateLayeredWindow (layered_present.h), so the face shows
// between the letters. The fade effect's frames then carry their alpha as the window's constant
// alpha; zoom and tilt frames are composed as usual and presented the same way.
//
// Threads: as GdiHeadlineRenderer (the display thread); `mode` is asked at every frame, from the
// display thread, and must be thread-safe.
#ifndef KORVO_TICKER_WIN_LAYERED_HEADLINE_RENDERER_H_
#define KORVO_TICKER_WIN_LAYERED_HEADLINE_RENDERER_H_

#include <windows.h>

#include <functional>

#include "ticker/win/gdi_headline_renderer.h"
#include "ticker/win/layered_present.h"

namespace korvo {

// How the headline is drawn at this moment.
struct HeadlinePresentation {
  bool per_pixel = false;
  LayeredBlend blend;  // alpha for per-pixel frames
};

class LayeredHeadlineRenderer : public GdiHeadlineRenderer {
 public:
  LayeredHeadlineRenderer(std::function<HWND()> window, std::function<HeadlinePresentation()> mode);

  void Present(const EffectFrame& frame) override;

 protected:
  void PresentBack() override;

 private:
  std::function<HeadlinePresentation()> mode_source_;
  HeadlinePresentation mode_;
};

}  // namespace korvo

#endif  // KORVO_TICKER_WIN_LAYERED_HEADLINE_RENDERER_H_

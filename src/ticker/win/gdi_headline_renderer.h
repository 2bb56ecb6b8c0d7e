// GdiHeadlineRenderer: draws the headline into the headline window of korvo.exe with GDI, on the
// display thread.
//
// Per item (Prepare): the box is the window's client area; the headline font is made from the
// style (with its fallback); the composed text is measured and, when it would make the strip too
// wide, cut to the characters that fit; two strips (32-bit DIB sections) of 2 × (box width + W)
// columns are filled with the background and get the text at x = box width: one with the text
// at the top, one with it below the blank rows (for frames marked `swapped`). With the skin's
// antialias the text is drawn at twice the size and halved with halftone stretching; with the
// electric-sign style it is spread pixel by pixel with a gap before every pair of columns and
// rows. A box-sized back buffer serves the frames that compose (clip, alpha, zoom, tilt, blank).
//
// Per frame (Present): one BitBlt from the strip to the window for plain frames; the composed
// ones fill the back buffer, draw into it and copy it out. Nothing is allocated per frame.
//
// What a skin changes (the per-pixel path through UpdateLayeredWindow) is LayeredHeadlineRenderer,
// through the protected virtual members.
//
// Threads: the window comes from `window()` at each Prepare (null: nothing is drawn); every
// other member runs on the display thread.
#ifndef KORVO_TICKER_WIN_GDI_HEADLINE_RENDERER_H_
#define KORVO_TICKER_WIN_GDI_HEADLINE_RENDERER_H_

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>

#include "ticker/headline_display.h"
#include "ticker/headline_text.h"

namespace korvo {

class GdiHeadlineRenderer : public HeadlineRenderer {
 public:
  explicit GdiHeadlineRenderer(std::function<HWND()> window);
  ~GdiHeadlineRenderer() override;
  GdiHeadlineRenderer(const GdiHeadlineRenderer&) = delete;
  GdiHeadlineRenderer& operator=(const GdiHeadlineRenderer&) = delete;

  bool Prepare(const HeadlineJob& job, const std::string& text, EffectGeometry* geometry) override;
  void Present(const EffectFrame& frame) override;
  void Release() override;

  // The text actually drawn for the last item (after a cut), for tests.
  const std::wstring& drawn_text() const { return text_; }

 protected:
  // A 32-bit top-down DIB section selected into its own memory DC.
  struct Surface {
    HDC dc = nullptr;
    HBITMAP bitmap = nullptr;
    HGDIOBJ old = nullptr;
    uint32_t* bits = nullptr;  // 0x00RRGGBB per pixel
    int width = 0;
    int height = 0;
  };

  // The box in the window's client coordinates; false when there is none.
  virtual bool BoxSize(HWND window, int* width, int* height);
  // The headline's background, which is also the colour key (COLORREF).
  virtual uint32_t Background(const HeadlineJob& job);
  // Puts the composed back buffer on screen.
  virtual void PresentBack();

  // The background of the item being shown (COLORREF), also the colour key of per-pixel frames.
  uint32_t background_colour() const { return background_; }
  bool MakeSurface(int width, int height, Surface* surface);
  void FreeSurface(Surface* surface);

  HWND window_ = nullptr;
  HDC window_dc_ = nullptr;
  int box_width_ = 0;
  int box_height_ = 0;
  Surface strip_;
  Surface swapped_;
  Surface back_;
  HBRUSH background_brush_ = nullptr;
  EffectGeometry geometry_;

 private:
  bool DrawStrips(const HeadlineJob& job, const HeadlinePalette& palette, int mode);
  void Fill(const Surface& surface);

  std::function<HWND()> window_source_;
  HFONT font_ = nullptr;
  std::wstring text_;
  uint32_t background_ = 0;
};

}  // namespace korvo

#endif  // KORVO_TICKER_WIN_GDI_HEADLINE_RENDERER_H_

// SkinPainter: the bitmaps of the loaded skin in GDI (the face with its animation frames, the
// button images) and the drawing of the face at any size: the still face of an animation row,
// its frames (whole faces or the animated area), the rectangle painted with the user's back
// colour, and the sampled headline background.
//
// Belongs to the skin window (window thread).
#ifndef KORVO_TICKER_WIN_SKIN_PAINTER_H_
#define KORVO_TICKER_WIN_SKIN_PAINTER_H_

#include <windows.h>

#include <memory>

#include "ticker/skin.h"
#include "ticker/win/win_util.h"

namespace korvo {

class SkinPainter {
 public:
  // Loads the face bitmap (and the button images when the skin has buttons). With
  // `paint_back_colour` the skin's backcolor rectangle of every face tile is painted with
  // `back_colour`. False when the face bitmap cannot be loaded or its size is not the one its
  // headers declared; `*button_images` tells whether the button bitmap loaded.
  bool Load(const Skin& skin, bool paint_back_colour, COLORREF back_colour, bool* button_images);
  void Clear();
  bool loaded() const { return face_dc_ != nullptr; }

  // Draws the still face of animation `row` at the layout's size into `dc` at (0, 0), then
  // `frame` of the row (a whole face through the stretch columns, or the animated area).
  void PaintFace(HDC dc, const SkinLayout& layout, int row, int frame) const;
  // Draws only what a frame changes: the animated area, or the whole face of that frame.
  void PaintFrame(HDC dc, const SkinLayout& layout, int row, int frame) const;

  // The colour of the still face at the layout's background sample point: the headline's
  // background and colour key.
  COLORREF SampleBackground(const SkinLayout& layout) const;

  HDC buttons_dc() const { return buttons_dc_ ? buttons_dc_->get() : nullptr; }

 private:
  void Blit(HDC dc, const SkinLayout& layout, const SkinRect& tile) const;

  GdiHandle<HBITMAP> face_;
  GdiHandle<HBITMAP> buttons_;
  std::unique_ptr<MemoryDc> face_dc_holder_;
  HDC face_dc_ = nullptr;
  std::unique_ptr<MemoryDc> buttons_dc_;
};

}  // namespace korvo

#endif  // KORVO_TICKER_WIN_SKIN_PAINTER_H_

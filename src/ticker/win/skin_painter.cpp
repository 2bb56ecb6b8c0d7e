#include "ticker/win/skin_painter.h"

#include "ticker/nine_slice.h"

namespace korvo {

namespace {

HBITMAP LoadBitmapFile(const std::string& path) {
  return static_cast<HBITMAP>(LoadImageW(nullptr, WideFromUtf8Text(path).c_str(), IMAGE_BITMAP, 0,
                                         0, LR_LOADFROMFILE | LR_CREATEDIBSECTION));
}

}  // namespace

bool SkinPainter::Load(const Skin& skin, bool paint_back_colour, COLORREF back_colour,
                       bool* button_images) {
  Clear();
  *button_images = false;
  face_.Reset(LoadBitmapFile(skin.files.bitmap));
  if (!face_) return false;
  BITMAP info = {};
  if (GetObjectW(face_.get(), sizeof info, &info) == 0 ||
      info.bmWidth != skin.layout.bitmap_width() || info.bmHeight != skin.layout.bitmap_height()) {
    face_.Reset();
    return false;
  }
  face_dc_holder_ = std::make_unique<MemoryDc>();
  face_dc_holder_->Select(face_.get());
  face_dc_ = face_dc_holder_->get();
  if (paint_back_colour) {
    // Every face-sized tile, so the frames keep the painted rectangle too.
    const SkinDefinition& s = skin.def;
    const SkinSize base = skin.layout.base_size();
    HBRUSH brush = CreateSolidBrush(back_colour);
    for (int y = 0; base.height > 0 && y + base.height <= info.bmHeight; y += base.height) {
      for (int x = 0; base.width > 0 && x + base.width <= info.bmWidth; x += base.width) {
        RECT r = {x + s.backcolor_x, y + s.backcolor_y, x + s.backcolor_x + s.backcolor_width,
                  y + s.backcolor_y + s.backcolor_height};
        FillRect(face_dc_, &r, brush);
      }
    }
    DeleteObject(brush);
  }
  if (!skin.files.button_bitmap.empty() && skin.def.has_buttons()) {
    buttons_.Reset(LoadBitmapFile(skin.files.button_bitmap));
    if (buttons_) {
      buttons_dc_ = std::make_unique<MemoryDc>();
      buttons_dc_->Select(buttons_.get());
      *button_images = true;
    }
  }
  return true;
}

void SkinPainter::Clear() {
  buttons_dc_.reset();
  buttons_.Reset();
  face_dc_holder_.reset();
  face_dc_ = nullptr;
  face_.Reset();
}

void SkinPainter::Blit(HDC dc, const SkinLayout& layout, const SkinRect& tile) const {
  const NineSlicePlan plan = PlanNineSlice(tile, layout);
  for (int i = 0; i < plan.count; ++i) {
    const SliceBlit& b = plan.blits[static_cast<size_t>(i)];
    if (b.source.width == b.target.width && b.source.height == b.target.height) {
      BitBlt(dc, b.target.x, b.target.y, b.target.width, b.target.height, face_dc_, b.source.x,
             b.source.y, SRCCOPY);
    } else {
      StretchBlt(dc, b.target.x, b.target.y, b.target.width, b.target.height, face_dc_, b.source.x,
                 b.source.y, b.source.width, b.source.height, SRCCOPY);
    }
  }
}

void SkinPainter::PaintFace(HDC dc, const SkinLayout& layout, int row, int frame) const {
  if (face_dc_ == nullptr) return;
  if (row < 0 || row >= layout.RowCount()) row = 0;
  Blit(dc, layout, layout.FaceTile(0, row));
  if (layout.has_animated_area() || frame != 0) PaintFrame(dc, layout, row, frame);
}

void SkinPainter::PaintFrame(HDC dc, const SkinLayout& layout, int row, int frame) const {
  if (face_dc_ == nullptr) return;
  if (row < 0 || row >= layout.RowCount()) row = 0;
  const int frames = layout.FrameCount();
  if (frame < 0 || frame >= frames) return;
  if (layout.has_animated_area()) {
    const SkinRect source = layout.AreaFrame(frame, row);
    const SkinRect target = layout.AnimatedArea();
    BitBlt(dc, target.x, target.y, target.width, target.height, face_dc_, source.x, source.y,
           SRCCOPY);
  } else {
    Blit(dc, layout, layout.FaceTile(frame, row));
  }
}

COLORREF SkinPainter::SampleBackground(const SkinLayout& layout) const {
  if (face_dc_ == nullptr) return 0;
  int x = 0;
  int y = 0;
  layout.BackgroundSamplePoint(&x, &y);
  // The point on the still face as drawn at the current size.
  const SkinSize size = layout.size();
  MemoryDc dc;
  GdiHandle<HBITMAP> surface(CreateDib32(size.width, size.height, nullptr));
  if (!surface || dc.get() == nullptr) return 0;
  dc.Select(surface.get());
  PaintFace(dc.get(), layout, 0, 0);
  const COLORREF colour = GetPixel(dc.get(), x, y);
  return colour == CLR_INVALID ? 0 : colour;
}

}  // namespace korvo

#include "ticker/win/gdi_headline_renderer.h"

#include <algorithm>
#include <utility>

#include "ticker/headline_layout.h"
#include "ticker/win/headline_font.h"
#include "ticker/win/wide_text.h"

namespace korvo {

namespace {

enum RenderMode { kPlainText = 0, kAntialiased = 1, kElectric = 2 };

// Largest surface made for one item, in pixels (about 64 MB of 32-bit pixels): a font size far
// beyond any screen must not take the memory.
constexpr int64_t kMaxSurfacePixels = 16 * 1024 * 1024;

uint32_t PixelFromColour(uint32_t colour) {
  return ((colour & 0xFF) << 16) | (colour & 0xFF00) | ((colour >> 16) & 0xFF);
}

}  // namespace

GdiHeadlineRenderer::GdiHeadlineRenderer(std::function<HWND()> window)
    : window_source_(std::move(window)) {}

GdiHeadlineRenderer::~GdiHeadlineRenderer() { Release(); }

bool GdiHeadlineRenderer::BoxSize(HWND window, int* width, int* height) {
  RECT client;
  if (!GetClientRect(window, &client)) return false;
  *width = client.right - client.left;
  *height = client.bottom - client.top;
  return *width > 0 && *height > 0;
}

uint32_t GdiHeadlineRenderer::Background(const HeadlineJob& job) {
  return job.style.back_colour & 0xFFFFFFu;
}

void GdiHeadlineRenderer::PresentBack() {
  BitBlt(window_dc_, 0, 0, box_width_, box_height_, back_.dc, 0, 0, SRCCOPY);
}

bool GdiHeadlineRenderer::MakeSurface(int width, int height, Surface* surface) {
  if (width <= 0 || height <= 0 || static_cast<int64_t>(width) * height > kMaxSurfacePixels) {
    return false;
  }
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;  // top-down
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  surface->bitmap = CreateDIBSection(window_dc_, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  surface->dc = CreateCompatibleDC(window_dc_);
  if (surface->bitmap == nullptr || surface->dc == nullptr || bits == nullptr) {
    FreeSurface(surface);
    return false;
  }
  surface->old = SelectObject(surface->dc, surface->bitmap);
  surface->bits = static_cast<uint32_t*>(bits);
  surface->width = width;
  surface->height = height;
  return true;
}

void GdiHeadlineRenderer::FreeSurface(Surface* surface) {
  if (surface->dc != nullptr) {
    if (surface->old != nullptr) SelectObject(surface->dc, surface->old);
    DeleteDC(surface->dc);
  }
  if (surface->bitmap != nullptr) DeleteObject(surface->bitmap);
  *surface = Surface();
}

void GdiHeadlineRenderer::Fill(const Surface& surface) {
  GdiFlush();
  std::fill(surface.bits, surface.bits + static_cast<size_t>(surface.width) * surface.height,
            PixelFromColour(background_));
}

bool GdiHeadlineRenderer::Prepare(const HeadlineJob& job, const std::string& text,
                                  EffectGeometry* geometry) {
  Release();
  window_ = window_source_ ? window_source_() : nullptr;
  if (window_ == nullptr || !IsWindow(window_) || !BoxSize(window_, &box_width_, &box_height_)) {
    window_ = nullptr;
    return false;
  }
  window_dc_ = GetDC(window_);
  if (window_dc_ == nullptr) {
    Release();
    return false;
  }
  const HeadlineStyle& style = job.style;
  const int mode = (style.flags & ticker_flags::kElectricSign) ? kElectric
                   : style.antialias                           ? kAntialiased
                                                               : kPlainText;
  const int font_height = std::clamp(style.font_size, 1, 4000) * (mode == kAntialiased ? 2 : 1);
  font_ = CreateHeadlineFont(style, font_height);
  if (font_ == nullptr) {
    Release();
    return false;
  }

  // Measure, and cut a text that would make the strip too wide.
  text_ = WideText(text);
  HDC measure = CreateCompatibleDC(window_dc_);
  if (measure == nullptr) {
    Release();
    return false;
  }
  HGDIOBJ old_font = SelectObject(measure, font_);
  auto final_width = [mode](int w) {
    return mode == kAntialiased ? w / 2 : mode == kElectric ? ElectricSignSize(w) : w;
  };
  SIZE size = {};
  GetTextExtentPoint32W(measure, text_.c_str(), static_cast<int>(text_.size()), &size);
  const int max_width = MaxTextWidth(box_width_);
  if (final_width(size.cx) > max_width) {
    const int source_max = mode == kAntialiased ? max_width * 2
                           : mode == kElectric  ? max_width * 2 / 3
                                                : max_width;
    int fit = 0;
    SIZE whole = {};
    GetTextExtentExPointW(measure, text_.c_str(), static_cast<int>(text_.size()), source_max, &fit,
                          nullptr, &whole);
    fit = std::clamp(fit, 0, static_cast<int>(text_.size()));
    if (fit > 0 && text_[fit - 1] >= 0xD800 && text_[fit - 1] <= 0xDBFF) --fit;
    text_.resize(static_cast<size_t>(fit));
    GetTextExtentPoint32W(measure, text_.c_str(), static_cast<int>(text_.size()), &size);
  }
  SelectObject(measure, old_font);
  DeleteDC(measure);
  const int source_width = std::max<int>(1, size.cx);
  const int source_height = std::max<int>(1, size.cy);

  geometry_.box_width = box_width_;
  geometry_.box_height = box_height_;
  geometry_.text_width = final_width(source_width);
  geometry_.text_height = mode == kAntialiased ? source_height / 2
                          : mode == kElectric  ? ElectricSignSize(source_height)
                                               : source_height;
  const int strip_width = 2 * (box_width_ + geometry_.text_width);
  const int strip_height = geometry_.text_height + std::max(geometry_.text_height, box_height_);
  background_ = Background(job);
  if (!MakeSurface(strip_width, strip_height, &strip_) ||
      !MakeSurface(strip_width, strip_height, &swapped_) ||
      !MakeSurface(box_width_, box_height_, &back_)) {
    Release();
    return false;
  }
  background_brush_ = CreateSolidBrush(background_);
  if (background_brush_ == nullptr) {
    Release();
    return false;
  }
  const HeadlinePalette palette = ChoosePalette(job.item.state, style, background_);
  if (!DrawStrips(job, palette, mode)) {
    Release();
    return false;
  }
  *geometry = geometry_;
  return true;
}

bool GdiHeadlineRenderer::DrawStrips(const HeadlineJob& /*job*/, const HeadlinePalette& palette,
                                     int mode) {
  Fill(strip_);
  Fill(swapped_);
  Fill(back_);
  const int b = box_width_;
  const int h = geometry_.text_height;
  auto draw_text = [&](HDC dc, int x, int y) {
    HGDIOBJ old = SelectObject(dc, font_);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, palette.text);
    TextOutW(dc, x, y, text_.c_str(), static_cast<int>(text_.size()));
    SelectObject(dc, old);
  };
  if (mode == kPlainText) {
    draw_text(strip_.dc, b, 0);
    draw_text(swapped_.dc, b, h);
    GdiFlush();
    return true;
  }
  // The text once at (0, 0) of a work surface, then copied into the strips.
  Surface work;
  SIZE size = {};
  {
    HDC measure = strip_.dc;
    HGDIOBJ old = SelectObject(measure, font_);
    GetTextExtentPoint32W(measure, text_.c_str(), static_cast<int>(text_.size()), &size);
    SelectObject(measure, old);
  }
  if (!MakeSurface(std::max<int>(1, size.cx), std::max<int>(1, size.cy), &work)) return false;
  Fill(work);
  draw_text(work.dc, 0, 0);
  GdiFlush();
  for (const auto& [surface, top] : {std::pair<Surface*, int>{&strip_, 0}, {&swapped_, h}}) {
    if (mode == kAntialiased) {
      SetStretchBltMode(surface->dc, HALFTONE);
      SetBrushOrgEx(surface->dc, 0, 0, nullptr);
      StretchBlt(surface->dc, b, top, geometry_.text_width, h, work.dc, 0, 0, work.width,
                 work.height, SRCCOPY);
    } else {
      const uint32_t blank = PixelFromColour(background_);
      for (int r = 0; r < work.height; ++r) {
        const int y = top + ElectricSignPosition(r);
        if (y >= surface->height) break;
        for (int c = 0; c < work.width; ++c) {
          const uint32_t pixel = work.bits[static_cast<size_t>(r) * work.width + c];
          const int x = b + ElectricSignPosition(c);
          if (pixel == blank || x >= surface->width) continue;
          surface->bits[static_cast<size_t>(y) * surface->width + x] = pixel;
        }
      }
    }
  }
  GdiFlush();
  FreeSurface(&work);
  return true;
}

void GdiHeadlineRenderer::Present(const EffectFrame& frame) {
  if (window_dc_ == nullptr) return;
  const Surface& strip = frame.swapped ? swapped_ : strip_;
  const int b = box_width_;
  const int height = box_height_;
  RECT box = {0, 0, b, height};
  switch (frame.mode) {
    case EffectFrame::Mode::kPlain:
      BitBlt(window_dc_, 0, 0, b, height, strip.dc, frame.x, frame.y, SRCCOPY);
      return;
    case EffectFrame::Mode::kClip:
      FillRect(back_.dc, &box, background_brush_);
      if (frame.clip_right > frame.clip_left) {
        BitBlt(back_.dc, frame.clip_left, 0, frame.clip_right - frame.clip_left, height, strip.dc,
               frame.x + frame.clip_left, frame.y, SRCCOPY);
      }
      break;
    case EffectFrame::Mode::kAlpha:
      FillRect(back_.dc, &box, background_brush_);
      if (frame.alpha > 0) {
        const BLENDFUNCTION blend = {AC_SRC_OVER, 0, static_cast<BYTE>(frame.alpha), 0};
        AlphaBlend(back_.dc, 0, 0, b, height, strip.dc, frame.x, frame.y, b, height, blend);
      }
      break;
    case EffectFrame::Mode::kZoom: {
      FillRect(back_.dc, &box, background_brush_);
      const int w = b * frame.zoom_percent / 100;
      const int h = height * frame.zoom_percent / 100;
      if (w > 0 && h > 0) {
        SetStretchBltMode(back_.dc, COLORONCOLOR);
        StretchBlt(back_.dc, (b - w) / 2, (height - h) / 2, w, h, strip.dc, frame.x, frame.y, b,
                   height, SRCCOPY);
      }
      break;
    }
    case EffectFrame::Mode::kTilt: {
      FillRect(back_.dc, &box, background_brush_);
      SetStretchBltMode(back_.dc, COLORONCOLOR);
      const int w = geometry_.text_width;
      const int rows = geometry_.text_height;
      for (int r = 0; r < rows; ++r) {
        const int y = r + frame.tilt_shift;
        if (y >= height) break;
        const int scale = frame.tilt_top_milli + (frame.tilt_bottom_milli - frame.tilt_top_milli) *
                                                     r / std::max(1, rows - 1);
        const int dw = static_cast<int>(static_cast<int64_t>(w) * scale / 1000);
        if (dw <= 0) continue;
        StretchBlt(back_.dc, b / 2 - dw / 2, y, dw, 1, strip_.dc, b, r, w, 1, SRCCOPY);
      }
      break;
    }
    case EffectFrame::Mode::kBlank:
      FillRect(back_.dc, &box, background_brush_);
      break;
  }
  PresentBack();
}

void GdiHeadlineRenderer::Release() {
  FreeSurface(&strip_);
  FreeSurface(&swapped_);
  FreeSurface(&back_);
  if (background_brush_ != nullptr) {
    DeleteObject(background_brush_);
    background_brush_ = nullptr;
  }
  if (font_ != nullptr) {
    DeleteObject(font_);
    font_ = nullptr;
  }
  if (window_dc_ != nullptr) {
    ReleaseDC(window_, window_dc_);
    window_dc_ = nullptr;
  }
  window_ = nullptr;
}

}  // namespace korvo

#include "fetch/win/site_icon_loader.h"

#include <wincodec.h>

#include <cstdint>
#include <string>
#include <utility>

#include "fetch/icon_directory.h"
#include "fetch/site_icon_cache.h"

namespace korvo {

namespace {

// Holds one COM interface pointer and releases it.
template <typename T>
class ComRef {
 public:
  ComRef() = default;
  ~ComRef() {
    if (p_ != nullptr) p_->Release();
  }
  ComRef(const ComRef&) = delete;
  ComRef& operator=(const ComRef&) = delete;
  T** out() { return &p_; }
  T* operator->() const { return p_; }
  T* get() const { return p_; }

 private:
  T* p_ = nullptr;
};

uint32_t Le32(const unsigned char* p) {
  return p[0] | p[1] << 8 | p[2] << 16 | static_cast<uint32_t>(p[3]) << 24;
}

bool IsPng(std::string_view bytes) {
  return bytes.size() >= 8 && bytes.compare(0, 8, std::string_view("\x89PNG\r\n\x1A\n", 8)) == 0;
}

// Whether the image of an icon-file entry is a PNG, or a device-independent bitmap whose headers
// fit the bytes given (so the platform never reads beyond them).
bool IsSoundIconImage(std::string_view image) {
  if (IsPng(image)) return true;
  if (image.size() < 40) return false;
  const auto* p = reinterpret_cast<const unsigned char*>(image.data());
  const uint32_t header = Le32(p);
  const int32_t width = static_cast<int32_t>(Le32(p + 4));
  const int32_t height = static_cast<int32_t>(Le32(p + 8));  // colour and mask rows
  const uint32_t bits = p[14] | p[15] << 8;
  const uint32_t compression = Le32(p + 16);
  uint32_t colours = Le32(p + 32);
  if (header < 40 || header > image.size() || width <= 0 || width > 256 || height <= 0 ||
      height > 512 || compression != 0) {
    return false;
  }
  if (bits != 1 && bits != 4 && bits != 8 && bits != 24 && bits != 32) return false;
  if (colours == 0 && bits <= 8) colours = 1u << bits;
  if (colours > 256) return false;
  const uint64_t rows = static_cast<uint64_t>(height) / 2;
  const uint64_t colour_stride = ((static_cast<uint64_t>(width) * bits + 31) / 32) * 4;
  const uint64_t mask_stride = ((static_cast<uint64_t>(width) + 31) / 32) * 4;
  const uint64_t needed = header + (bits <= 8 ? 4ull * colours : 0) + colour_stride * rows +
                          (bits == 32 ? 0 : mask_stride * rows);
  return needed <= image.size();
}

bool LoadIcoImage(std::string_view bytes, int width, int height, SiteIconImage* out) {
  IconImageRef ref;
  if (!ChooseIconImage(bytes, width, height, &ref)) return false;
  const std::string_view image = bytes.substr(ref.offset, ref.size);
  if (!IsSoundIconImage(image)) return false;
  // The platform wants writable bits.
  std::string copy(image);
  HICON icon =
      CreateIconFromResourceEx(reinterpret_cast<PBYTE>(&copy[0]), static_cast<DWORD>(copy.size()),
                               TRUE, 0x00030000, width, height, LR_DEFAULTCOLOR);
  if (icon == nullptr) return false;
  out->SetIcon(icon);
  return true;
}

// Decodes the first frame of `bytes` with the platform's image decoder, scaled to width x height
// as 32-bit BGRA pixels in a DIB section.
HBITMAP DecodeScaled(std::string_view bytes, int width, int height) {
  ComRef<IWICImagingFactory> factory;
  if (FAILED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                              IID_IWICImagingFactory, reinterpret_cast<void**>(factory.out())))) {
    return nullptr;
  }
  ComRef<IWICStream> stream;
  if (FAILED(factory->CreateStream(stream.out()))) return nullptr;
  // WIC reads from the buffer without changing it.
  if (FAILED(stream->InitializeFromMemory(reinterpret_cast<BYTE*>(const_cast<char*>(bytes.data())),
                                          static_cast<DWORD>(bytes.size())))) {
    return nullptr;
  }
  ComRef<IWICBitmapDecoder> decoder;
  if (FAILED(factory->CreateDecoderFromStream(stream.get(), nullptr, WICDecodeMetadataCacheOnDemand,
                                              decoder.out()))) {
    return nullptr;
  }
  ComRef<IWICBitmapFrameDecode> frame;
  if (FAILED(decoder->GetFrame(0, frame.out()))) return nullptr;
  UINT source_width = 0;
  UINT source_height = 0;
  if (FAILED(frame->GetSize(&source_width, &source_height)) || source_width == 0 ||
      source_height == 0 || source_width > kMaxSiteIconSide || source_height > kMaxSiteIconSide) {
    return nullptr;
  }
  ComRef<IWICFormatConverter> converter;
  if (FAILED(factory->CreateFormatConverter(converter.out())) ||
      FAILED(converter->Initialize(frame.get(), GUID_WICPixelFormat32bppBGRA,
                                   WICBitmapDitherTypeNone, nullptr, 0.0,
                                   WICBitmapPaletteTypeCustom))) {
    return nullptr;
  }
  ComRef<IWICBitmapScaler> scaler;
  if (FAILED(factory->CreateBitmapScaler(scaler.out())) ||
      FAILED(scaler->Initialize(converter.get(), static_cast<UINT>(width),
                                static_cast<UINT>(height), WICBitmapInterpolationModeFant))) {
    return nullptr;
  }
  void* bits = nullptr;
  HBITMAP dib = CreateDib32(width, height, &bits);
  if (dib == nullptr) return nullptr;
  const UINT stride = static_cast<UINT>(width) * 4;
  if (FAILED(scaler->CopyPixels(nullptr, stride, stride * static_cast<UINT>(height),
                                static_cast<BYTE*>(bits)))) {
    DeleteObject(dib);
    return nullptr;
  }
  GdiFlush();
  return dib;
}

// An icon whose colours and transparency are the 32-bit BGRA `colour` bitmap.
HICON IconFromPixels(HBITMAP colour, int width, int height) {
  HBITMAP mask = CreateBitmap(width, height, 1, 1, nullptr);
  if (mask == nullptr) return nullptr;
  ICONINFO info = {};
  info.fIcon = TRUE;
  info.hbmMask = mask;
  info.hbmColor = colour;
  HICON icon = CreateIconIndirect(&info);
  DeleteObject(mask);
  return icon;
}

}  // namespace

HBITMAP CreateDib32(int width, int height, void** bits) {
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* ignored = nullptr;
  return CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, bits != nullptr ? bits : &ignored,
                          nullptr, 0);
}

SiteIconImage::SiteIconImage(SiteIconImage&& other) noexcept
    : icon_(std::exchange(other.icon_, nullptr)), bitmap_(std::exchange(other.bitmap_, nullptr)) {}

SiteIconImage& SiteIconImage::operator=(SiteIconImage&& other) noexcept {
  if (this != &other) {
    Reset();
    icon_ = std::exchange(other.icon_, nullptr);
    bitmap_ = std::exchange(other.bitmap_, nullptr);
  }
  return *this;
}

void SiteIconImage::Reset() {
  if (icon_ != nullptr) DestroyIcon(icon_);
  if (bitmap_ != nullptr) DeleteObject(bitmap_);
  icon_ = nullptr;
  bitmap_ = nullptr;
}

void SiteIconImage::SetIcon(HICON icon) {
  Reset();
  icon_ = icon;
}

void SiteIconImage::SetBitmap(HBITMAP bitmap) {
  Reset();
  bitmap_ = bitmap;
}

bool LoadSiteIconImage(std::string_view bytes, int width, int height, SiteIconImage* image) {
  image->Reset();
  if (width <= 0 || height <= 0 || width > kMaxSiteIconSide || height > kMaxSiteIconSide ||
      !SiteIconCache::LooksLikeIcon(bytes)) {
    return false;
  }
  if (bytes.size() >= 4 && bytes[0] == 0 && bytes[1] == 0 && bytes[2] == 1 && bytes[3] == 0) {
    return LoadIcoImage(bytes, width, height, image);
  }
  HBITMAP pixels = DecodeScaled(bytes, width, height);
  if (pixels == nullptr) return false;
  if (bytes.size() >= 2 && bytes[0] == 'B' && bytes[1] == 'M') {
    image->SetBitmap(pixels);
    return true;
  }
  HICON icon = IconFromPixels(pixels, width, height);
  DeleteObject(pixels);
  if (icon == nullptr) return false;
  image->SetIcon(icon);
  return true;
}

bool LoadSiteIcon(const SiteIconCache& cache, std::string_view site_link, int width, int height,
                  SiteIconImage* image) {
  image->Reset();
  std::string bytes;
  if (!cache.Load(site_link, &bytes)) return false;
  return LoadSiteIconImage(bytes, width, height, image);
}

}  // namespace korvo

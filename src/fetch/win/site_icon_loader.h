// Loading the site icons that SiteIconCache keeps into GDI images, for drawing beside headlines.
//
// An icon file holds what the site served: an icon (.ico), a Windows bitmap, or a PNG, GIF or
// JPEG image. Icons become an HICON of the asked size (the best image of the file); the other
// kinds are decoded by the platform's image decoder (Windows Imaging Component) and scaled:
// bitmaps become an HBITMAP (drawn stretched), PNG, GIF and JPEG an HICON with their
// transparency. The marker "Nico", broken or oversized files load nothing.
//
// Call on a thread that has initialised COM (the window thread). The images belong to the
// SiteIconImage that holds them.
#ifndef KORVO_FETCH_WIN_SITE_ICON_LOADER_H_
#define KORVO_FETCH_WIN_SITE_ICON_LOADER_H_

#include <windows.h>

#include <string_view>

namespace korvo {

class SiteIconCache;

// A 32-bit top-down DIB section of width x height (the form the decoded images take); `bits`
// (may be null) gets its pixels.
HBITMAP CreateDib32(int width, int height, void** bits);

// Largest image side decoded; larger images are no icon.
constexpr int kMaxSiteIconSide = 4096;

// One loaded image: an icon, or a bitmap (is_bitmap). Move-only; destroys its image.
class SiteIconImage {
 public:
  SiteIconImage() = default;
  ~SiteIconImage() { Reset(); }
  SiteIconImage(SiteIconImage&& other) noexcept;
  SiteIconImage& operator=(SiteIconImage&& other) noexcept;
  SiteIconImage(const SiteIconImage&) = delete;
  SiteIconImage& operator=(const SiteIconImage&) = delete;

  void Reset();
  void SetIcon(HICON icon);
  void SetBitmap(HBITMAP bitmap);

  HICON icon() const { return icon_; }
  HBITMAP bitmap() const { return bitmap_; }
  bool is_bitmap() const { return bitmap_ != nullptr; }
  bool empty() const { return icon_ == nullptr && bitmap_ == nullptr; }

 private:
  HICON icon_ = nullptr;
  HBITMAP bitmap_ = nullptr;
};

// Makes the image of `bytes` (an icon file's content) at `width` x `height`. False, with `*image`
// empty, when the bytes are no image or cannot be decoded.
bool LoadSiteIconImage(std::string_view bytes, int width, int height, SiteIconImage* image);

// The stored icon of `site_link` at `width` x `height`; false when there is none (no file yet,
// the marker, a broken file).
bool LoadSiteIcon(const SiteIconCache& cache, std::string_view site_link, int width, int height,
                  SiteIconImage* image);

}  // namespace korvo

#endif  // KORVO_FETCH_WIN_SITE_ICON_LOADER_H_

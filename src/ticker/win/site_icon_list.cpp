#include "ticker/win/site_icon_list.h"

#include <cstdint>
#include <utility>
#include <vector>

#include "platform/files.h"
#include "shell/text_limit.h"
#include "ticker/icon_blend.h"
#include "ticker/win/win_util.h"

namespace korvo {

SiteIconList::SiteIconList(HINSTANCE instance, const std::string& cache_folder)
    : instance_(instance), cache_(cache_folder, &SystemFetchClock()) {}

HICON SiteIconList::DefaultIcon(int width, int height) {
  if (default_icon_ == nullptr || default_width_ != width || default_height_ != height) {
    default_icon_ = static_cast<HICON>(
        LoadImageW(instance_, MAKEINTRESOURCEW(180), IMAGE_ICON, width, height, LR_SHARED));
    default_width_ = width;
    default_height_ = height;
  }
  return default_icon_;
}

SiteIconList::Entry& SiteIconList::Find(const std::string& link, int width, int height) {
  const ULONGLONG now = GetTickCount64();
  for (Entry& e : entries_) {
    if (e.link != link || e.width != width || e.height != height) continue;
    if (e.retry_at != 0 && now >= e.retry_at) {
      if (LoadSiteIcon(cache_, link, width, height, &e.image)) {
        e.retry_at = 0;
      } else if (platform::FileExists(cache_.PathFor(link))) {
        e.retry_at = 0;  // the file came, but holds no usable icon
      } else {
        e.retry_at = now + kRetryMs;
      }
    }
    return e;
  }
  if (entries_.size() >= kMaxEntries) entries_.pop_front();
  Entry e;
  e.link = link;
  e.width = width;
  e.height = height;
  if (!LoadSiteIcon(cache_, link, width, height, &e.image) &&
      !platform::FileExists(cache_.PathFor(link))) {
    e.retry_at = now + kRetryMs;  // not fetched yet
  }
  entries_.push_back(std::move(e));
  return entries_.back();
}

void SiteIconList::Draw(HDC dc, const std::string& site_link, const SkinRect& rect, bool blend,
                        COLORREF face_colour) {
  if (site_link.empty() || rect.width <= 0 || rect.height <= 0) return;
  const Entry& e = Find(TruncateCp932(site_link, kMaxLink), rect.width, rect.height);
  // The icon is composed in a buffer holding the face, so blending can tell its pixels apart.
  void* bits = nullptr;
  GdiHandle<HBITMAP> surface(CreateDib32(rect.width, rect.height, &bits));
  MemoryDc buffer(dc);
  if (!surface || buffer.get() == nullptr) return;
  buffer.Select(surface.get());
  BitBlt(buffer.get(), 0, 0, rect.width, rect.height, dc, rect.x, rect.y, SRCCOPY);
  GdiFlush();
  const size_t count = static_cast<size_t>(rect.width) * static_cast<size_t>(rect.height);
  std::vector<uint32_t> face(static_cast<uint32_t*>(bits), static_cast<uint32_t*>(bits) + count);
  if (e.image.is_bitmap()) {
    MemoryDc source(dc);
    source.Select(e.image.bitmap());
    BitBlt(buffer.get(), 0, 0, rect.width, rect.height, source.get(), 0, 0, SRCCOPY);
  } else {
    HICON icon = e.image.empty() ? DefaultIcon(rect.width, rect.height) : e.image.icon();
    if (icon == nullptr) return;
    DrawIconEx(buffer.get(), 0, 0, icon, rect.width, rect.height, 0, nullptr, DI_NORMAL);
  }
  GdiFlush();
  if (blend) BlendIconPixels(static_cast<uint32_t*>(bits), face.data(), count, face_colour);
  BitBlt(dc, rect.x, rect.y, rect.width, rect.height, buffer.get(), 0, 0, SRCCOPY);
}

}  // namespace korvo

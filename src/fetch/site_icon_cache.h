// SiteIconCache: the icon files of web sites in the cache folder, one per site link.
//
// A file is named CacheFileName(site link, 1024, ".ico") (see url_text.h) and holds either the
// icon bytes exactly as downloaded or the 4-byte marker "Nico": the site has no usable icon and
// is not asked again while the file is fresh. A file is fresh for 14 days after its last write.
//
// Threads: the functions may be called from any thread; one site's file is written by one
// thread at a time (SiteIconFetcher sees to that), and a write replaces the whole file at once,
// so readers never see half of it.
#ifndef KORVO_FETCH_SITE_ICON_CACHE_H_
#define KORVO_FETCH_SITE_ICON_CACHE_H_

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "fetch/fetch_clock.h"

namespace korvo {

class SiteIconCache {
 public:
  static constexpr size_t kMaxNameText = 1024;
  static constexpr int64_t kFreshSeconds = 14 * 24 * 60 * 60;
  static constexpr char kNoIconMarker[] = "Nico";
  // Icon files larger than this are never read back.
  static constexpr size_t kMaxFileBytes = size_t{1} << 20;

  // `folder`: the cache folder (UTF-8), created on the first write when missing. `clock` is not
  // owned and must outlive the object.
  SiteIconCache(std::string folder, const FetchClock* clock);

  std::string PathFor(std::string_view site_link) const;

  // True when the site's file (icon or marker) was written at most 14 days ago by `clock`. A
  // file dated more than a day in the future (the clock was set back) is not fresh.
  bool IsFresh(std::string_view site_link) const;

  // Writes the icon bytes, or the marker. False, with the old file untouched, on failure.
  bool StoreIcon(std::string_view site_link, std::string_view bytes) const;
  bool StoreNoIcon(std::string_view site_link) const;

  // The stored icon bytes, for loading the image. False when there is no file, when it holds the
  // marker or anything else that is not an image (LooksLikeIcon), or when it is too large: the
  // caller then shows no icon.
  bool Load(std::string_view site_link, std::string* bytes) const;

  // Whether downloaded bytes are an image that can serve as a site icon: an icon file (16-bit
  // words 0, 1 and an image count of at least 1, with its first directory entry), a bitmap
  // ("BM" and a file header), PNG, GIF or JPEG, each recognised by its signature. Error pages in
  // HTML, empty answers and the marker are not.
  static bool LooksLikeIcon(std::string_view bytes);

 private:
  std::string folder_;
  const FetchClock* clock_;
};

}  // namespace korvo

#endif  // KORVO_FETCH_SITE_ICON_CACHE_H_

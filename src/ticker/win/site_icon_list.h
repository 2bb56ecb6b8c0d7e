// SiteIconList: the site icons the skin window draws beside the site name, kept for the
// program's life by site link and size. An icon is loaded from the cache folder's icon file the
// first time its site comes; a site without a usable icon gets the program's default site icon
// (icon resource 180). A site whose icon file is not there yet is looked at again after a minute,
// so an icon fetched meanwhile appears. The list is bounded; the oldest entries go first.
//
// Belongs to the skin window (window thread, COM initialised).
#ifndef KORVO_TICKER_WIN_SITE_ICON_LIST_H_
#define KORVO_TICKER_WIN_SITE_ICON_LIST_H_

#include <windows.h>

#include <deque>
#include <string>

#include "fetch/site_icon_cache.h"
#include "fetch/win/site_icon_loader.h"
#include "ticker/skin_layout.h"

namespace korvo {

class SiteIconList {
 public:
  static constexpr size_t kMaxEntries = 256;
  static constexpr size_t kMaxLink = 1023;
  static constexpr ULONGLONG kRetryMs = 60000;

  SiteIconList(HINSTANCE instance, const std::string& cache_folder);

  // Draws the icon of `site_link` into `rect` of `dc` (its current content is the face); with
  // `blend` its pixels are averaged with `face_colour`. Nothing for an empty link.
  void Draw(HDC dc, const std::string& site_link, const SkinRect& rect, bool blend,
            COLORREF face_colour);

  size_t size() const { return entries_.size(); }

 private:
  struct Entry {
    std::string link;
    int width = 0;
    int height = 0;
    SiteIconImage image;     // empty: the default icon
    ULONGLONG retry_at = 0;  // 0: final
  };

  Entry& Find(const std::string& link, int width, int height);
  HICON DefaultIcon(int width, int height);

  HINSTANCE instance_;
  SiteIconCache cache_;
  std::deque<Entry> entries_;
  HICON default_icon_ = nullptr;  // shared resource (LR_SHARED), never destroyed
  int default_width_ = 0;
  int default_height_ = 0;
};

}  // namespace korvo

#endif  // KORVO_TICKER_WIN_SITE_ICON_LIST_H_

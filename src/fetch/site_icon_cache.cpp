#include "fetch/site_icon_cache.h"

#include <cstring>
#include <utility>

#include "fetch/feed_cache.h"
#include "fetch/url_text.h"
#include "platform/file_times.h"
#include "platform/files.h"

namespace korvo {

namespace {

constexpr int64_t kFutureSlackSeconds = 24 * 60 * 60;

bool StartsWith(std::string_view bytes, std::string_view prefix) {
  return bytes.size() >= prefix.size() && bytes.substr(0, prefix.size()) == prefix;
}

int Word(std::string_view bytes, size_t at) {
  return static_cast<unsigned char>(bytes[at]) | static_cast<unsigned char>(bytes[at + 1]) << 8;
}

}  // namespace

SiteIconCache::SiteIconCache(std::string folder, const FetchClock* clock)
    : folder_(std::move(folder)), clock_(clock) {}

std::string SiteIconCache::PathFor(std::string_view site_link) const {
  return folder_ + "/" + CacheFileName(site_link, kMaxNameText, ".ico");
}

bool SiteIconCache::IsFresh(std::string_view site_link) const {
  int64_t written = 0;
  if (!platform::FileWriteTime(PathFor(site_link), &written)) return false;
  const int64_t age = clock_->UnixSecondsNow() - written;
  return age >= -kFutureSlackSeconds && age <= kFreshSeconds;
}

bool SiteIconCache::StoreIcon(std::string_view site_link, std::string_view bytes) const {
  platform::MakeDirectory(folder_);
  return ReplaceFileContents(folder_, PathFor(site_link), bytes);
}

bool SiteIconCache::StoreNoIcon(std::string_view site_link) const {
  return StoreIcon(site_link, kNoIconMarker);
}

bool SiteIconCache::Load(std::string_view site_link, std::string* bytes) const {
  bytes->clear();
  if (!platform::ReadWholeFile(PathFor(site_link), bytes, kMaxFileBytes) ||
      !LooksLikeIcon(*bytes)) {
    bytes->clear();
    return false;
  }
  return true;
}

bool SiteIconCache::LooksLikeIcon(std::string_view bytes) {
  // Icon: reserved 0, type 1, image count, then 16-byte directory entries.
  if (bytes.size() >= 6 + 16 && Word(bytes, 0) == 0 && Word(bytes, 2) == 1 && Word(bytes, 4) >= 1) {
    return true;
  }
  // Bitmap: "BM", the 14-byte file header and at least the smallest (12-byte) info header.
  if (bytes.size() >= 14 + 12 && StartsWith(bytes, "BM")) return true;
  if (StartsWith(bytes, std::string_view("\x89PNG\r\n\x1A\n", 8))) return true;
  if (StartsWith(bytes, "GIF87a") || StartsWith(bytes, "GIF89a")) return true;
  if (StartsWith(bytes, "\xFF\xD8\xFF")) return true;  // JPEG
  return false;
}

}  // namespace korvo

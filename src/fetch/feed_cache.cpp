#include "fetch/feed_cache.h"

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <cstring>

#include "fetch/url_text.h"
#include "platform/files.h"
#include "platform/user_protection.h"

namespace korvo {

namespace {

void PutU16(std::string* out, int value) {
  const uint16_t v = static_cast<uint16_t>(value);
  out->push_back(static_cast<char>(v & 0xFF));
  out->push_back(static_cast<char>(v >> 8));
}

int GetU16(std::string_view data, size_t at) {
  return static_cast<unsigned char>(data[at]) | static_cast<unsigned char>(data[at + 1]) << 8;
}

}  // namespace

bool ReplaceFileContents(const std::string& folder, const std::string& path, std::string_view data,
                         bool owner_only) {
  // Cache names always hold an '@' (from the ':' of "http:" or of a drive) or end in ".ico";
  // this name has neither, so it never meets a cache file.
  static std::atomic<unsigned> counter{0};
  const std::string temp = folder + "/~korvo-" + std::to_string(counter.fetch_add(1)) + ".part";
  // Secret contents go into a file that was restricted while still empty; the rewrite keeps
  // its permissions.
  if (owner_only && (!platform::WriteWholeFile(temp, std::string_view()) ||
                     !platform::RestrictFileToOwner(temp))) {
    platform::RemoveFile(temp);
    return false;
  }
  if (!platform::WriteWholeFile(temp, data)) {
    platform::RemoveFile(temp);
    return false;
  }
  if (!platform::RenameFile(temp, path, /*replace=*/true)) {
    platform::RemoveFile(temp);
    return false;
  }
  return true;
}

FeedCache::FeedCache(std::string folder) : folder_(std::move(folder)) {}

std::string FeedCache::PathFor(std::string_view url_text) const {
  return folder_ + "/" + UniqueCacheFileName(url_text, kMaxNameText, "");
}

std::string FeedCache::FormerPathFor(std::string_view url_text) const {
  return folder_ + "/" + CacheFileName(url_text, kMaxNameText, "");
}

bool FeedCache::SameBody(const std::string& path, std::string_view body) {
  const int64_t size = platform::FileSize(path);
  if (size < 0 || static_cast<uint64_t>(size) != body.size() + kHeaderSize) return false;
  platform::File old;
  if (!old.Open(path, platform::File::Mode::kRead)) return false;
  char piece[64 * 1024];
  for (size_t at = 0; at < body.size(); at += sizeof piece) {
    const size_t want = std::min(sizeof piece, body.size() - at);
    if (old.ReadAt(kHeaderSize + at, piece, want) != static_cast<int64_t>(want) ||
        std::memcmp(piece, body.data() + at, want) != 0) {
      return false;
    }
  }
  return true;
}

bool FeedCache::Read(std::string_view url_text, std::string* body, size_t max_bytes) const {
  const std::string path = PathFor(url_text);
  std::string data;
  if (!platform::ReadWholeFile(path, &data, max_bytes + kHeaderSize)) return false;
  if (data.size() < kHeaderSize) {
    platform::RemoveFile(path);
    return false;
  }
  body->assign(data, kHeaderSize, std::string::npos);
  return true;
}

bool FeedCache::Time(std::string_view url_text, platform::CalendarTime* utc) const {
  platform::File f;
  if (!f.Open(PathFor(url_text), platform::File::Mode::kRead)) return false;
  char header[kHeaderSize];
  if (f.ReadAt(0, header, sizeof header) != static_cast<int64_t>(sizeof header)) return false;
  *utc = DecodeTime(std::string_view(header, sizeof header));
  return true;
}

bool FeedCache::Delete(std::string_view url_text) const {
  const std::string path = PathFor(url_text);
  platform::RemoveFile(FormerPathFor(url_text));
  return platform::RemoveFile(path) || !platform::FileExists(path);
}

bool FeedCache::Store(std::string_view url_text, const platform::CalendarTime& utc,
                      std::string_view body, bool* changed) const {
  const std::string path = PathFor(url_text);
  platform::MakeDirectory(folder_);
  *changed = !SameBody(path, body);
  std::string data = EncodeTime(utc);
  data.append(body.data(), body.size());
  if (!ReplaceFileContents(folder_, path, data)) return false;
  // The file under the name of earlier versions (which several addresses could share) is no
  // longer read; the first store under the new name removes it.
  const std::string former = FormerPathFor(url_text);
  if (former != path) platform::RemoveFile(former);
  return true;
}

std::string FeedCache::EncodeTime(const platform::CalendarTime& utc) {
  std::string out;
  out.reserve(kHeaderSize);
  for (int v : {utc.year, utc.month, utc.day_of_week, utc.day, utc.hour, utc.minute, utc.second,
                utc.millisecond}) {
    PutU16(&out, v);
  }
  return out;
}

platform::CalendarTime FeedCache::DecodeTime(std::string_view header) {
  platform::CalendarTime t;
  if (header.size() < kHeaderSize) return t;
  t.year = GetU16(header, 0);
  t.month = GetU16(header, 2);
  t.day_of_week = GetU16(header, 4);
  t.day = GetU16(header, 6);
  t.hour = GetU16(header, 8);
  t.minute = GetU16(header, 10);
  t.second = GetU16(header, 12);
  t.millisecond = GetU16(header, 14);
  return t;
}

}  // namespace korvo

// FeedCache: one file per channel address text in the cache folder, holding the time of the
// download and the body exactly as received.
//
// File layout (little-endian):
//   offset 0, 16 bytes: the fetch time in UTC as a Windows SYSTEMTIME: eight 16-bit values,
//                       year, month, day of week, day, hour, minute, second, milliseconds;
//   offset 16, n bytes: the body, without terminator.
// The file name is UniqueCacheFileName(address text, 2047, "") (see url_text.h): the readable
// name and a hash of the whole text, so no two addresses share a file. A file under the former
// name (CacheFileName, shared by addresses that differ only in replaced characters) is never
// read; it is removed when the channel is next stored or deleted.
//
// Threads: any number of FeedCache objects may be used at once, but one channel's file is only
// written by one thread at a time (the update run gives each channel to one worker). A write
// goes to a temporary file that then replaces the old one, so a reader or a crash never sees a
// half-written file.
#ifndef KORVO_FETCH_FEED_CACHE_H_
#define KORVO_FETCH_FEED_CACHE_H_

#include <cstddef>
#include <string>
#include <string_view>

#include "platform/clock.h"

namespace korvo {

class FeedCache {
 public:
  static constexpr size_t kHeaderSize = 16;
  static constexpr size_t kMaxNameText = 2047;

  // `folder`: the cache folder (UTF-8), normally working folder + "/cache"; created on the
  // first write when missing.
  explicit FeedCache(std::string folder);

  const std::string& folder() const { return folder_; }
  std::string PathFor(std::string_view url_text) const;

  // The body of the channel's file. A file shorter than the header is deleted and gives false,
  // as does a missing file or one larger than `max_bytes`.
  bool Read(std::string_view url_text, std::string* body,
            size_t max_bytes = size_t{64} << 20) const;
  // The fetch time stored in the header; false when there is no file of at least 16 bytes.
  bool Time(std::string_view url_text, platform::CalendarTime* utc) const;
  // Removes the channel's file; true when it is gone.
  bool Delete(std::string_view url_text) const;

  // Stores a new body with its fetch time and tells whether it differs from the stored one: it
  // is unchanged only when the old file holds exactly the same body, byte for byte. The new bytes
  // (and time) are written in every case. False (and the old file untouched) when the file
  // cannot be written.
  bool Store(std::string_view url_text, const platform::CalendarTime& utc, std::string_view body,
             bool* changed) const;

  // The 16-byte header for a time, and back.
  static std::string EncodeTime(const platform::CalendarTime& utc);
  static platform::CalendarTime DecodeTime(std::string_view header);

 private:
  std::string FormerPathFor(std::string_view url_text) const;
  // True when the file at `path` holds the header and exactly `body` after it.
  static bool SameBody(const std::string& path, std::string_view body);

  std::string folder_;
};

// Writes `data` to `path` through a temporary file in `folder` that then replaces `path`.
// With `owner_only` the temporary file is made readable by its owner only (RestrictFileToOwner)
// before anything is written to it, so a secret is never readable by others on the way.
// False, with `path` untouched, on any failure.
bool ReplaceFileContents(const std::string& folder, const std::string& path, std::string_view data,
                         bool owner_only = false);

}  // namespace korvo

#endif  // KORVO_FETCH_FEED_CACHE_H_

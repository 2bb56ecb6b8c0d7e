// One channel of the update list, the folder options that channels inherit, and the reading of
// both from the attributes of `outline` elements of the channel list.
//
// Flag attributes count by presence: any value switches the option on. "add"/"noadd" compare
// their first 3/5 characters exactly; the request words of `authorization` ("basic", "GET",
// "POST") compare their first 5/3/4 characters ignoring case.
#ifndef KORVO_CHANNELS_CHANNEL_H_
#define KORVO_CHANNELS_CHANNEL_H_

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "channels/keyword_filter.h"

namespace korvo {

// Request modes chosen by the `authorization` attribute.
constexpr uint32_t kAuthNone = 0;
constexpr uint32_t kAuthBasic = 1;
constexpr uint32_t kAuthGet = 2;
constexpr uint32_t kAuthPost = 4;

// Bits of `Channel::overwrite`.
constexpr uint32_t kOverwriteSiteUrl = 0x1;   // `htmlUrl` replaces the feed's site address
constexpr uint32_t kOverwriteSiteName = 0x2;  // `text` replaces the feed's site name

// Largest `ttl` in minutes that is taken; a longer interval is cut to it, so that refreshMs
// stays a positive 32-bit signed number of milliseconds (about 24 days).
constexpr uint32_t kMaxTtlMinutes = 0x7FFFFFFF / 60000;

// The feed address of the placeholder channel that stands for an empty update list. The name
// is reserved and never resolves, so the placeholder fetches nothing.
inline constexpr char kPlaceholderChannelUrl[] = "http://placeholder.invalid/korvo-empty-list";

// Options a folder hands to the outlines inside it.
struct FolderOptions {
  bool drop = false;
  bool onlyNew = false;
  bool noInherit = false;
  bool noAddToDb = false;
  bool skipAll = false;
  std::string keyword;       // CP932
  uint32_t filterFlags = 0;  // kFilterOn | kFilterStore* | kFilterShow*
  uint32_t refreshMs = 0;    // 0 = not set
  uint32_t itemTtl = 0;      // hours; 0 = not set

  // The options of `body`: everything off and empty, noInherit on.
  static FolderOptions Root();

  bool operator==(const FolderOptions& other) const;
};

// One entry of the update list.
struct Channel {
  std::string url;      // `xmlUrl`, CP932, may carry a "[" suffix for the fetcher
  std::string title;    // `text`
  std::string siteUrl;  // `htmlUrl`
  bool drop = false;
  bool onlyNew = false;
  bool noInherit = false;
  bool noAddToDb = false;
  std::string keyword;
  uint32_t filterFlags = 0;
  uint32_t refreshMs = 0;
  bool skipAll = false;
  uint32_t authMode = kAuthNone;
  uint32_t overwrite = 0;
  uint32_t itemTtl = 0;

  // Copies the folder options into the channel.
  void ApplyOptions(const FolderOptions& options);
  // The options every item of this channel carries to the filters.
  ItemFilterOptions FilterOptions() const;
};

// The placeholder entry of an empty update list: kPlaceholderChannelUrl, noAddToDb on, refreshMs
// 60, every other option off.
Channel PlaceholderChannel();

// Looks up an attribute of one element by exact name; nullptr when absent.
using AttributeLookup = std::function<const std::string*(std::string_view name)>;

// A folder's own options, read from its attributes (`Drop`, `OnlyNew`, `NoInherit`, `NoAddToDb`,
// `FilterOn`, `skipall`, `keyword`, `HitDb`, `Hit`, `ttl`, `itemttl`); absent ones are off.
FolderOptions FolderOptionsFromAttributes(const AttributeLookup& attribute);

// The request mode of an `authorization` value (nullptr: none).
uint32_t AuthModeFromAttribute(const std::string* value);

// The overwrite bits of a channel outline (`overwrite_siteurl`, `overwrite_sitename`).
uint32_t OverwriteFromAttributes(const AttributeLookup& attribute);

// A decimal attribute value as a non-negative number: leading blanks and one sign are allowed,
// digits are read up to the first other byte, a negative value or no digits gives 0 and a value
// above `max` gives `max`.
uint32_t ParseDecimalAttribute(std::string_view value, uint32_t max);

}  // namespace korvo

#endif  // KORVO_CHANNELS_CHANNEL_H_

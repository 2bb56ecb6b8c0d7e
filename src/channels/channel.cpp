#include "channels/channel.h"

namespace korvo {

namespace {

bool StartsWithExact(std::string_view text, std::string_view prefix) {
  return text.substr(0, prefix.size()) == prefix;
}

bool StartsWithIgnoringCase(std::string_view text, std::string_view prefix) {
  if (text.size() < prefix.size()) return false;
  for (size_t i = 0; i < prefix.size(); ++i) {
    char a = text[i];
    char b = prefix[i];
    if (a >= 'A' && a <= 'Z') a = static_cast<char>(a - 'A' + 'a');
    if (b >= 'A' && b <= 'Z') b = static_cast<char>(b - 'A' + 'a');
    if (a != b) return false;
  }
  return true;
}

// "add" -> the first bit, "noadd" -> the second; anything else -> 0.
uint32_t HitBits(const std::string* value, uint32_t add_bit, uint32_t noadd_bit) {
  if (value == nullptr) return 0;
  if (StartsWithExact(*value, "add")) return add_bit;
  if (StartsWithExact(*value, "noadd")) return noadd_bit;
  return 0;
}

}  // namespace

FolderOptions FolderOptions::Root() {
  FolderOptions root;
  root.noInherit = true;
  return root;
}

bool FolderOptions::operator==(const FolderOptions& other) const {
  return drop == other.drop && onlyNew == other.onlyNew && noInherit == other.noInherit &&
         noAddToDb == other.noAddToDb && skipAll == other.skipAll && keyword == other.keyword &&
         filterFlags == other.filterFlags && refreshMs == other.refreshMs &&
         itemTtl == other.itemTtl;
}

void Channel::ApplyOptions(const FolderOptions& options) {
  drop = options.drop;
  onlyNew = options.onlyNew;
  noInherit = options.noInherit;
  noAddToDb = options.noAddToDb;
  skipAll = options.skipAll;
  keyword = options.keyword;
  filterFlags = options.filterFlags;
  refreshMs = options.refreshMs;
  itemTtl = options.itemTtl;
}

ItemFilterOptions Channel::FilterOptions() const {
  ItemFilterOptions options;
  options.drop = drop;
  options.onlyNew = onlyNew;
  options.noAddToDb = noAddToDb;
  options.skipAll = skipAll;
  options.keyword = keyword;
  options.filterFlags = filterFlags;
  options.itemTtl = itemTtl;
  return options;
}

Channel PlaceholderChannel() {
  Channel channel;
  channel.url = kPlaceholderChannelUrl;
  channel.noAddToDb = true;
  channel.refreshMs = 60;
  return channel;
}

uint32_t ParseDecimalAttribute(std::string_view value, uint32_t max) {
  size_t i = 0;
  while (i < value.size() && (value[i] == ' ' || value[i] == '\t')) ++i;
  bool negative = false;
  if (i < value.size() && (value[i] == '+' || value[i] == '-')) {
    negative = value[i] == '-';
    ++i;
  }
  uint64_t number = 0;
  bool any = false;
  while (i < value.size() && value[i] >= '0' && value[i] <= '9') {
    any = true;
    if (number <= max) number = number * 10 + static_cast<uint64_t>(value[i] - '0');
    ++i;
  }
  if (!any || negative) return 0;
  return number > max ? max : static_cast<uint32_t>(number);
}

FolderOptions FolderOptionsFromAttributes(const AttributeLookup& attribute) {
  FolderOptions options;
  options.drop = attribute("Drop") != nullptr;
  options.onlyNew = attribute("OnlyNew") != nullptr;
  options.noInherit = attribute("NoInherit") != nullptr;
  options.noAddToDb = attribute("NoAddToDb") != nullptr;
  options.skipAll = attribute("skipall") != nullptr;
  if (const std::string* keyword = attribute("keyword")) options.keyword = *keyword;
  if (attribute("FilterOn") != nullptr) options.filterFlags |= kFilterOn;
  options.filterFlags |= HitBits(attribute("HitDb"), kFilterStoreMatches, kFilterStoreOthers);
  options.filterFlags |= HitBits(attribute("Hit"), kFilterShowMatches, kFilterShowOthers);
  if (const std::string* ttl = attribute("ttl")) {
    options.refreshMs = ParseDecimalAttribute(*ttl, kMaxTtlMinutes) * 60000u;
  }
  if (const std::string* item_ttl = attribute("itemttl")) {
    options.itemTtl = ParseDecimalAttribute(*item_ttl, 0x7FFFFFFF);
  }
  return options;
}

uint32_t AuthModeFromAttribute(const std::string* value) {
  if (value == nullptr) return kAuthNone;
  if (StartsWithIgnoringCase(*value, "basic")) return kAuthBasic;
  if (StartsWithIgnoringCase(*value, "GET")) return kAuthGet;
  if (StartsWithIgnoringCase(*value, "POST")) return kAuthPost;
  return kAuthNone;
}

uint32_t OverwriteFromAttributes(const AttributeLookup& attribute) {
  uint32_t bits = 0;
  if (attribute("overwrite_siteurl") != nullptr) bits |= kOverwriteSiteUrl;
  if (attribute("overwrite_sitename") != nullptr) bits |= kOverwriteSiteName;
  return bits;
}

}  // namespace korvo

// The earlier plain-text channel list `UrlList`: one feed address per line, each line ended by a
// line feed; a line starting with "#" is a disabled channel; lines shorter than 2 bytes are
// ignored. Also the six addresses written on the very first start.
//
// Pure functions; safe on any thread.
#ifndef KORVO_CHANNELS_URL_LIST_H_
#define KORVO_CHANNELS_URL_LIST_H_

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace korvo {

// Longest line of `UrlList` in bytes, line feed not counted.
constexpr size_t kMaxUrlListLine = 1023;

struct UrlListEntry {
  std::string address;    // without the "#" and without a trailing carriage return
  bool disabled = false;  // the line started with "#"
};

// The lines of `content`, each without its line feed; a last line without a line feed counts.
std::vector<std::string_view> SplitUrlListLines(std::string_view content);

// Reads one line. False for lines that are skipped: shorter than 2 bytes, longer than
// kMaxUrlListLine (such a line cannot be a whole address; it is never split into pieces), or
// whose address (after the "#") does not begin with "http://" or "https://".
bool ParseUrlListLine(std::string_view line, UrlListEntry* entry);

// The content of `UrlList` on the very first start: six feeds of Japanese news and technology
// sites, one per line.
std::string DefaultUrlListText();

}  // namespace korvo

#endif  // KORVO_CHANNELS_URL_LIST_H_

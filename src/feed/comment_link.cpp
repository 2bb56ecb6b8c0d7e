#include "feed/comment_link.h"

#include <cstddef>

namespace korvo {

namespace {

constexpr size_t kPrefixLength = sizeof kCommentLinkHostPrefix - 1;
static_assert(kPrefixLength == 24, "the host prefix has a fixed length");

char LowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool StartsWithIgnoringCase(std::string_view text, std::string_view prefix) {
  if (text.size() < prefix.size()) return false;
  for (size_t i = 0; i < prefix.size(); ++i) {
    if (LowerAscii(text[i]) != LowerAscii(prefix[i])) return false;
  }
  return true;
}

}  // namespace

std::string DeriveCommentLink(std::string_view link) {
  if (!StartsWithIgnoringCase(link, kCommentLinkHostPrefix)) return {};
  const std::string_view rest = link.substr(kPrefixLength);
  const size_t user_end = rest.find('/');
  if (user_end == std::string_view::npos || user_end == 0) return {};
  const size_t folder_end = rest.find('/', user_end + 1);
  if (folder_end == std::string_view::npos) return {};
  const std::string_view file = rest.substr(folder_end + 1);
  const size_t dot = file.find('.');
  if (dot == std::string_view::npos || dot == 0) return {};
  const std::string_view stem = file.substr(0, dot);
  if (stem.find('/') != std::string_view::npos) return {};
  std::string result(kCommentLinkHostPrefix);
  result.append(rest.substr(0, user_end)).append("/tb.cgi/").append(stem);
  return result;
}

}  // namespace korvo

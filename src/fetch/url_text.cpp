#include "fetch/url_text.h"

#include <cctype>
#include <cstdint>

#include "platform/code_page.h"

namespace korvo {

namespace {

constexpr size_t kMaxFileName = 255;
constexpr size_t kShortenedPrefix = 200;

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
  if (text.size() < prefix.size()) return false;
  for (size_t i = 0; i < prefix.size(); ++i) {
    char c = text[i];
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    if (c != prefix[i]) return false;
  }
  return true;
}

uint64_t Fnv1a(std::string_view text) {
  uint64_t h = 14695981039346656037ULL;
  for (unsigned char c : text) {
    h ^= c;
    h *= 1099511628211ULL;
  }
  return h;
}

// The length of the longest prefix of UTF-8 `text` of at most `max` bytes that ends on a
// character boundary.
size_t Utf8Prefix(std::string_view text, size_t max) {
  if (text.size() <= max) return text.size();
  size_t n = max;
  while (n > 0 && (static_cast<unsigned char>(text[n]) & 0xC0) == 0x80) --n;
  return n;
}

}  // namespace

bool IsWebAddress(std::string_view text) {
  return StartsWithNoCase(text, "http://") || StartsWithNoCase(text, "https://");
}

std::string_view RequestAddress(std::string_view url_text) {
  return url_text.substr(0, url_text.find('['));
}

bool IsLocalPath(std::string_view text) {
  if (text.size() >= 3 &&
      ((text[0] >= 'A' && text[0] <= 'Z') || (text[0] >= 'a' && text[0] <= 'z')) &&
      text[1] == ':' && text[2] == '\\') {
    return true;
  }
#ifndef _WIN32
  if (!text.empty() && text[0] == '/') return true;
#endif
  return false;
}

std::string EscapeForRequest(std::string_view address) {
  static const char kHex[] = "0123456789ABCDEF";
  std::string out;
  out.reserve(address.size());
  for (unsigned char c : address) {
    if (c <= 0x20 || c >= 0x7F) {
      out += '%';
      out += kHex[c >> 4];
      out += kHex[c & 15];
    } else {
      out += static_cast<char>(c);
    }
  }
  return out;
}

namespace {

// The text with the characters file names cannot hold replaced by '@', in UTF-8.
std::string ReadableName(std::string_view text, size_t max_text) {
  std::string name(text.substr(0, max_text));
  for (char& c : name) {
    const unsigned char u = static_cast<unsigned char>(c);
    if (u < 0x20 || u == 0x7F || c == '<' || c == '>' || c == ':' || c == '"' || c == '/' ||
        c == '\\' || c == '|' || c == '?' || c == '*') {
      c = '@';
    }
  }
  return platform::Cp932ToUtf8(name);
}

// The first 200 bytes of `utf8` (whole characters), '~' and the hash in hexadecimal.
std::string HashedName(std::string_view utf8, uint64_t h, std::string_view suffix) {
  char hash[17];
  for (int i = 0; i < 16; ++i) hash[i] = "0123456789abcdef"[(h >> (60 - 4 * i)) & 15];
  hash[16] = '\0';
  return std::string(utf8.substr(0, Utf8Prefix(utf8, kShortenedPrefix))) + "~" + hash +
         std::string(suffix);
}

}  // namespace

std::string CacheFileName(std::string_view text, size_t max_text, std::string_view suffix) {
  std::string utf8 = ReadableName(text, max_text);
  if (utf8.size() + suffix.size() <= kMaxFileName) return utf8 + std::string(suffix);
  return HashedName(utf8, Fnv1a(utf8), suffix);
}

std::string UniqueCacheFileName(std::string_view text, size_t max_text, std::string_view suffix) {
  return HashedName(ReadableName(text, max_text), Fnv1a(text), suffix);
}

std::string SiteRoot(std::string_view address) {
  const size_t scheme = address.find("://");
  size_t from = scheme == std::string_view::npos ? 7 : scheme + 3;
  if (from > address.size()) return std::string(address);
  const size_t end = address.find_first_of(scheme == std::string_view::npos ? "/" : "/?#", from);
  return std::string(address.substr(0, end));
}

namespace {

// "host[:port]" of a web address, empty when it has no "://".
std::string_view Authority(std::string_view address) {
  const size_t scheme = address.find("://");
  if (scheme == std::string_view::npos) return {};
  std::string_view rest = address.substr(scheme + 3);
  rest = rest.substr(0, rest.find_first_of("/?#"));
  const size_t at = rest.rfind('@');
  return at == std::string_view::npos ? rest : rest.substr(at + 1);
}

}  // namespace

bool SameHost(std::string_view a, std::string_view b) {
  const std::string_view x = Authority(a);
  const std::string_view y = Authority(b);
  if (x.empty() || x.size() != y.size()) return false;
  for (size_t i = 0; i < x.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(x[i])) !=
        std::tolower(static_cast<unsigned char>(y[i]))) {
      return false;
    }
  }
  return true;
}

bool MayResendCredentials(std::string_view from, std::string_view to) {
  if (!SameHost(from, to)) return false;
  return !(StartsWithNoCase(from, "https://") && !StartsWithNoCase(to, "https://"));
}

std::string ResolveLink(std::string_view page, std::string_view href) {
  if (IsWebAddress(href)) return std::string(href);
  const size_t scheme = page.find("://");
  if (href.size() >= 2 && href[0] == '/' && href[1] == '/') {
    return std::string(page.substr(0, scheme == std::string_view::npos ? 0 : scheme + 1)) +
           std::string(href);
  }
  if (!href.empty() && href[0] == '/') return SiteRoot(page) + std::string(href);
  std::string_view path = page.substr(0, page.find_first_of("?#"));
  const size_t host_start = scheme == std::string_view::npos ? 0 : scheme + 3;
  const size_t last = path.rfind('/');
  if (last == std::string_view::npos || last < host_start) {
    return std::string(path) + "/" + std::string(href);
  }
  return std::string(path.substr(0, last + 1)) + std::string(href);
}

}  // namespace korvo

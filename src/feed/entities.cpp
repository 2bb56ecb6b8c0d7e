#include "feed/entities.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <cstdint>
#include <cstring>
#include <utility>
#include <vector>

#include "platform/code_page.h"

namespace korvo {

namespace {

struct NamedEntity {
  std::string_view name;
  int code;  // the byte it decodes to (below 256)
};

// The Latin-1 names of the codes 161 to 255, in code order.
constexpr std::array<std::string_view, 95> kLatin1Names = {
    "iexcl",  "cent",   "pound",  "curren", "yen",    "brvbar", "sect",   "uml",    "copy",
    "ordf",   "laquo",  "not",    "shy",    "reg",    "macr",   "deg",    "plusmn", "sup2",
    "sup3",   "acute",  "micro",  "para",   "middot", "cedil",  "sup1",   "ordm",   "raquo",
    "frac14", "frac12", "frac34", "iquest", "Agrave", "Aacute", "Acirc",  "Atilde", "Auml",
    "Aring",  "AElig",  "Ccedil", "Egrave", "Eacute", "Ecirc",  "Euml",   "Igrave", "Iacute",
    "Icirc",  "Iuml",   "ETH",    "Ntilde", "Ograve", "Oacute", "Ocirc",  "Otilde", "Ouml",
    "times",  "Oslash", "Ugrave", "Uacute", "Ucirc",  "Uuml",   "Yacute", "THORN",  "szlig",
    "agrave", "aacute", "acirc",  "atilde", "auml",   "aring",  "aelig",  "ccedil", "egrave",
    "eacute", "ecirc",  "euml",   "igrave", "iacute", "icirc",  "iuml",   "eth",    "ntilde",
    "ograve", "oacute", "ocirc",  "otilde", "ouml",   "divide", "oslash", "ugrave", "uacute",
    "ucirc",  "uuml",   "yacute", "thorn",  "yuml"};

constexpr int kNbspCode = 32;
constexpr int kMdashCode = 45;

// The table sorted by name (byte order, case-sensitive) for binary search; built on first use.
const std::vector<NamedEntity>& TableByName() {
  static const std::vector<NamedEntity> table = [] {
    std::vector<NamedEntity> t = {{"nbsp", kNbspCode},  {"quot", 34}, {"amp", 38},
                                  {"apos", 39},         {"lt", 60},   {"gt", 62},
                                  {"mdash", kMdashCode}};
    for (size_t i = 0; i < kLatin1Names.size(); ++i) {
      t.push_back({kLatin1Names[i], static_cast<int>(161 + i)});
    }
    std::sort(t.begin(), t.end(),
              [](const NamedEntity& a, const NamedEntity& b) { return a.name < b.name; });
    return t;
  }();
  return table;
}

int LookUpName(std::string_view name) {
  // The names feeds use most, before the search of the whole table.
  switch (name.size()) {
    case 2:
      if (name == "lt") return 60;
      if (name == "gt") return 62;
      break;
    case 3:
      if (name == "amp") return 38;
      break;
    case 4:
      if (name == "quot") return 34;
      if (name == "nbsp") return kNbspCode;
      if (name == "apos") return 39;
      break;
    default:
      break;
  }
  const std::vector<NamedEntity>& table = TableByName();
  auto it = std::lower_bound(table.begin(), table.end(), name,
                             [](const NamedEntity& e, std::string_view n) { return e.name < n; });
  return it != table.end() && it->name == name ? it->code : -1;
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// The number after "&#": hexadecimal after 'x'/'X', else decimal; stops at the first non-digit
// (no digits give 0). Saturates far above the last code point so that long digit runs cannot
// overflow.
long NumericValue(std::string_view body) {
  constexpr long kCap = 0x7FFFFFF;
  long value = 0;
  if (!body.empty() && (body[0] == 'x' || body[0] == 'X')) {
    for (size_t i = 1; i < body.size(); ++i) {
      const int d = HexDigit(body[i]);
      if (d < 0) break;
      value = std::min(kCap, value * 16 + d);
    }
  } else {
    for (char c : body) {
      if (c < '0' || c > '9') break;
      value = std::min(kCap, value * 10 + (c - '0'));
    }
  }
  return value;
}

// The two bytes a code from 255 to 65535 decodes to: its CP932 form, a one-byte form followed by
// a blank, or '?' and a blank. Asked of the platform once per code and process; the table is
// shared by every thread (each entry is written whole, always with the same value).
std::pair<char, char> CodeBytes(long value) {
  static std::array<std::atomic<uint32_t>, 0x10000> known{};  // 0: not asked yet
  std::atomic<uint32_t>& entry = known[static_cast<size_t>(value)];
  uint32_t packed = entry.load(std::memory_order_relaxed);
  if (packed == 0) {
    const char16_t unit = static_cast<char16_t>(value);
    const std::string bytes = platform::Utf16ToCp932(std::u16string_view(&unit, 1), '?');
    const unsigned char first = static_cast<unsigned char>(bytes.empty() ? '?' : bytes[0]);
    const unsigned char second = static_cast<unsigned char>(bytes.size() >= 2 ? bytes[1] : ' ');
    packed = 0x10000u | (uint32_t{first} << 8) | second;
    entry.store(packed, std::memory_order_relaxed);
  }
  return {static_cast<char>((packed >> 8) & 0xFF), static_cast<char>(packed & 0xFF)};
}

// Appends the bytes of character `value`.
void AppendCode(long value, std::string* out) {
  if (value >= 255 && value <= 0xFFFF) {
    const std::pair<char, char> bytes = CodeBytes(value);
    out->push_back(bytes.first);
    out->push_back(bytes.second);
  } else if (value > 0xFFFF) {
    out->append("? ");  // outside the basic plane: CP932 has no form for it
  } else if (value < 0x20 && value != '\t' && value != '\n' && value != '\r') {
    out->push_back(' ');  // NUL and the other control characters a text cannot show
  } else if (platform::IsCp932LeadByte(static_cast<unsigned char>(value))) {
    out->push_back('?');
  } else {
    out->push_back(static_cast<char>(value));
  }
}

}  // namespace

std::string DecodeEntities(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  size_t i = 0;
  while (i < text.size()) {
    const void* amp = std::memchr(text.data() + i, '&', text.size() - i);
    if (amp == nullptr) {
      out.append(text.data() + i, text.size() - i);
      break;
    }
    const size_t at = static_cast<size_t>(static_cast<const char*>(amp) - text.data());
    out.append(text.data() + i, at - i);
    // Only the next 15 bytes can hold the ';' (searching further would make a text full of
    // '&' without ';' take quadratic time).
    const size_t semi = text.substr(0, at + 16).find(';', at + 1);
    if (semi == std::string_view::npos || semi - at < 2) {
      out.push_back('&');
      i = at + 1;
      continue;
    }
    const std::string_view body = text.substr(at + 1, semi - at - 1);
    if (body[0] == '#') {
      AppendCode(NumericValue(body.substr(1)), &out);
    } else {
      const int code = LookUpName(body);
      if (code < 0) {
        out.push_back('&');
        i = at + 1;
        continue;
      }
      AppendCode(code, &out);
    }
    i = semi + 1;
  }
  return out;
}

namespace {

// Replaces every `from` by `to` in one left-to-right pass; the scan goes on behind what was
// written.
void ReplaceAll(std::string* text, std::string_view from, std::string_view to) {
  size_t pos = text->find(from);
  if (pos == std::string::npos) return;
  std::string out;
  out.reserve(text->size());
  size_t done = 0;
  while (pos != std::string::npos) {
    out.append(*text, done, pos - done);
    out.append(to);
    done = pos + from.size();
    pos = text->find(from, done);
  }
  out.append(*text, done, std::string::npos);
  text->swap(out);
}

}  // namespace

void UnescapeLink(std::string* link) {
  if (link->find('&') == std::string::npos) return;
  ReplaceAll(link, "&amp;", "&");
  // Second pass: one scan, each entity replaced where it starts.
  static constexpr std::pair<std::string_view, char> kBasic[] = {{"&amp;", '&'},   {"&lt;", '<'},
                                                                 {"&gt;", '>'},    {"&quot;", '"'},
                                                                 {"&apos;", '\''}, {"&nbsp;", ' '}};
  std::string out;
  out.reserve(link->size());
  for (size_t i = 0; i < link->size();) {
    bool replaced = false;
    if ((*link)[i] == '&') {
      const std::string_view rest = std::string_view(*link).substr(i);
      for (const auto& [entity, c] : kBasic) {
        if (rest.compare(0, entity.size(), entity) == 0) {
          out.push_back(c);
          i += entity.size();
          replaced = true;
          break;
        }
      }
    }
    if (!replaced) out.push_back((*link)[i++]);
  }
  link->swap(out);
}

std::string_view EntityNameForCode(int code) {
  switch (code) {
    case 34:
      return "quot";
    case 38:
      return "amp";
    case 39:
      return "apos";
    case 60:
      return "lt";
    case 62:
      return "gt";
    default:
      break;
  }
  if (code >= 161 && code <= 255) return kLatin1Names[static_cast<size_t>(code - 161)];
  return std::string_view();
}

}  // namespace korvo

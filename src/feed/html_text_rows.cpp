#include "feed/html_text_rows.h"

namespace korvo {

namespace {

struct Entry {
  const char* prefixes[4];
  HtmlTextRow row;
};

// Tried in this order; the first entry with a prefix of the name applies.
constexpr Entry kEntries[] = {
    {{"img", "IMG"}, {" ", ""}},
    {{"br", "BR"}, {"\r\n", ""}},
    {{"p", "P"}, {"\r\n", "\r\n"}},
    {{"BLOCKQUOTE", "blockquote", "Q", "q"}, {"\r\n\r\n", "\r\n\r\n"}},
    {{"A", "a"}, {" ", " "}},
    {{"DT", "dt"}, {"", "\r\n"}},
    {{"DD", "dd"}, {"    ", "\r\n"}},
    {{"OL", "ol"}, {"\r\n", "\r\n"}},
    {{"LI", "li"}, {"  ", "\r\n"}},
    {{"UL", "ul", "TABLE", "table"}, {"\r\n", "\r\n"}},
    {{"TR", "tr"}, {"", "\r\n"}},
    {{"TD", "td"}, {"   ", ""}},
    {{"HR", "hr"}, {"--------\r\n", ""}},
};

bool StartsWith(std::string_view name, const char* prefix) {
  size_t i = 0;
  for (; prefix[i] != '\0'; ++i) {
    if (i >= name.size() || name[i] != prefix[i]) return false;
  }
  return true;
}

}  // namespace

const HtmlTextRow* HtmlTextRowFor(std::string_view name) {
  if (name.empty()) return nullptr;
  // Every prefix of the table starts with one of these letters; most tags are ruled out here.
  switch (name[0]) {
    case 'i':
    case 'I':
    case 'b':
    case 'B':
    case 'p':
    case 'P':
    case 'q':
    case 'Q':
    case 'a':
    case 'A':
    case 'd':
    case 'D':
    case 'o':
    case 'O':
    case 'l':
    case 'L':
    case 'u':
    case 'U':
    case 't':
    case 'T':
    case 'h':
    case 'H':
      break;
    default:
      return nullptr;
  }
  for (const Entry& entry : kEntries) {
    for (const char* prefix : entry.prefixes) {
      if (prefix != nullptr && StartsWith(name, prefix)) return &entry.row;
    }
  }
  return nullptr;
}

}  // namespace korvo

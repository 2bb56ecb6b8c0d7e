#include "feed/html_text_rows.h"

namespace korvo {

namespace {

constexpr HtmlTextRow kImg{" ", ""};
constexpr HtmlTextRow kBr{"\r\n", ""};
constexpr HtmlTextRow kP{"\r\n", "\r\n"};
constexpr HtmlTextRow kQuote{"\r\n\r\n", "\r\n\r\n"};
constexpr HtmlTextRow kAnchor{" ", " "};
constexpr HtmlTextRow kDt{"", "\r\n"};
constexpr HtmlTextRow kDd{"    ", "\r\n"};
constexpr HtmlTextRow kOl{"\r\n", "\r\n"};
constexpr HtmlTextRow kLi{"  ", "\r\n"};
constexpr HtmlTextRow kList{"\r\n", "\r\n"};  // ul, table
constexpr HtmlTextRow kTr{"", "\r\n"};
constexpr HtmlTextRow kTd{"   ", ""};
constexpr HtmlTextRow kHr{"--------\r\n", ""};

bool StartsWith(std::string_view name, std::string_view prefix) {
  return name.size() >= prefix.size() && name.compare(0, prefix.size(), prefix) == 0;
}

}  // namespace

// The table, by the first letter of the name. Its rows, tried in order, are:
//   "img" "IMG" | "br" "BR" | "p" "P" | "BLOCKQUOTE" "blockquote" "Q" "q" | "A" "a" | "DT" "dt" |
//   "DD" "dd" | "OL" "ol" | "LI" "li" | "UL" "ul" "TABLE" "table" | "TR" "tr" | "TD" "td" |
//   "HR" "hr"
// No two prefixes of different rows can match one name, so the order needs no keeping here.
const HtmlTextRow* HtmlTextRowFor(std::string_view name) {
  if (name.empty()) return nullptr;
  switch (name[0]) {
    case 'i':
      return StartsWith(name, "img") ? &kImg : nullptr;
    case 'I':
      return StartsWith(name, "IMG") ? &kImg : nullptr;
    case 'b':
      if (StartsWith(name, "br")) return &kBr;
      return StartsWith(name, "blockquote") ? &kQuote : nullptr;
    case 'B':
      if (StartsWith(name, "BR")) return &kBr;
      return StartsWith(name, "BLOCKQUOTE") ? &kQuote : nullptr;
    case 'p':
    case 'P':
      return &kP;
    case 'q':
    case 'Q':
      return &kQuote;
    case 'a':
    case 'A':
      return &kAnchor;
    case 'd':
      if (StartsWith(name, "dt")) return &kDt;
      return StartsWith(name, "dd") ? &kDd : nullptr;
    case 'D':
      if (StartsWith(name, "DT")) return &kDt;
      return StartsWith(name, "DD") ? &kDd : nullptr;
    case 'o':
      return StartsWith(name, "ol") ? &kOl : nullptr;
    case 'O':
      return StartsWith(name, "OL") ? &kOl : nullptr;
    case 'l':
      return StartsWith(name, "li") ? &kLi : nullptr;
    case 'L':
      return StartsWith(name, "LI") ? &kLi : nullptr;
    case 'u':
      return StartsWith(name, "ul") ? &kList : nullptr;
    case 'U':
      return StartsWith(name, "UL") ? &kList : nullptr;
    case 't':
      if (StartsWith(name, "table")) return &kList;
      if (StartsWith(name, "tr")) return &kTr;
      return StartsWith(name, "td") ? &kTd : nullptr;
    case 'T':
      if (StartsWith(name, "TABLE")) return &kList;
      if (StartsWith(name, "TR")) return &kTr;
      return StartsWith(name, "TD") ? &kTd : nullptr;
    case 'h':
      return StartsWith(name, "hr") ? &kHr : nullptr;
    case 'H':
      return StartsWith(name, "HR") ? &kHr : nullptr;
    default:
      return nullptr;
  }
}

}  // namespace korvo

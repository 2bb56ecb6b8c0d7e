#include "feed/encoding_label.h"

#include <cstddef>

namespace korvo {

namespace {

struct Label {
  const char* name;  // lower case
  EncodingLabel encoding;
};

constexpr Label kLabels[] = {
    // UTF-8: WHATWG, IANA (csUTF8), and the program's own spelling.
    {"utf-8", EncodingLabel::kUtf8},
    {"utf8", EncodingLabel::kUtf8},
    {"unicode-1-1-utf-8", EncodingLabel::kUtf8},
    {"unicode11utf8", EncodingLabel::kUtf8},
    {"unicode20utf8", EncodingLabel::kUtf8},
    {"x-unicode20utf8", EncodingLabel::kUtf8},
    {"csutf8", EncodingLabel::kUtf8},
    {"utf_8", EncodingLabel::kUtf8},
    // Shift_JIS and windows-31j (CP932): WHATWG, IANA, the names Windows and Java use.
    {"shift_jis", EncodingLabel::kShiftJis},
    {"shift-jis", EncodingLabel::kShiftJis},
    {"sjis", EncodingLabel::kShiftJis},
    {"x-sjis", EncodingLabel::kShiftJis},
    {"ms_kanji", EncodingLabel::kShiftJis},
    {"csshiftjis", EncodingLabel::kShiftJis},
    {"windows-31j", EncodingLabel::kShiftJis},
    {"cswindows31j", EncodingLabel::kShiftJis},
    {"ms932", EncodingLabel::kShiftJis},
    {"cp932", EncodingLabel::kShiftJis},
    {"windows-932", EncodingLabel::kShiftJis},
    {"x-ms-cp932", EncodingLabel::kShiftJis},
    // EUC-JP: WHATWG, IANA, and the common Unix names.
    {"euc-jp", EncodingLabel::kEucJp},
    {"euc_jp", EncodingLabel::kEucJp},
    {"x-euc-jp", EncodingLabel::kEucJp},
    {"eucjp", EncodingLabel::kEucJp},
    {"ujis", EncodingLabel::kEucJp},
    {"cseucpkdfmtjapanese", EncodingLabel::kEucJp},
    {"extended_unix_code_packed_format_for_japanese", EncodingLabel::kEucJp},
    // UTF-16: WHATWG (utf-16le and utf-16be with their labels), IANA, the program's spellings.
    {"utf-16", EncodingLabel::kUtf16},
    {"utf_16", EncodingLabel::kUtf16},
    {"uft-16", EncodingLabel::kUtf16},
    {"csutf16", EncodingLabel::kUtf16},
    {"utf-16le", EncodingLabel::kUtf16Le},
    {"csutf16le", EncodingLabel::kUtf16Le},
    {"csunicode", EncodingLabel::kUtf16Le},
    {"iso-10646-ucs-2", EncodingLabel::kUtf16Le},
    {"ucs-2", EncodingLabel::kUtf16Le},
    {"unicode", EncodingLabel::kUtf16Le},
    {"unicodefeff", EncodingLabel::kUtf16Le},
    {"utf-16be", EncodingLabel::kUtf16Be},
    {"csutf16be", EncodingLabel::kUtf16Be},
    {"unicodefffe", EncodingLabel::kUtf16Be},
};

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f'; }

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

}  // namespace

EncodingLabel EncodingFromLabel(std::string_view name) {
  while (!name.empty() && IsBlank(name.front())) name.remove_prefix(1);
  while (!name.empty() && IsBlank(name.back())) name.remove_suffix(1);
  for (const Label& label : kLabels) {
    const std::string_view known(label.name);
    if (known.size() != name.size()) continue;
    bool same = true;
    for (size_t i = 0; i < known.size() && same; ++i) same = Lower(name[i]) == known[i];
    if (same) return label.encoding;
  }
  return EncodingLabel::kUnknown;
}

}  // namespace korvo

#include "shell/profile_text.h"

#include <algorithm>
#include <unordered_set>

#include "platform/code_page.h"

namespace korvo {

namespace {

template <typename CharT>
bool IsBlank(CharT c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f' || c == 0x1A;
}

// [begin, end) of `text` without surrounding blanks.
template <typename CharT>
void Trim(std::basic_string_view<CharT> text, size_t* begin, size_t* end) {
  while (*begin < *end && IsBlank(text[*begin])) ++*begin;
  while (*end > *begin && IsBlank(text[*end - 1])) --*end;
}

template <typename CharT>
std::basic_string_view<CharT> Trimmed(std::basic_string_view<CharT> text) {
  text = text.substr(0, text.find(CharT(0)));
  size_t begin = 0, end = text.size();
  Trim(text, &begin, &end);
  return text.substr(begin, end - begin);
}

// Position of the last ']' that is a character of its own, or npos.
size_t LastCloseBracket(std::string_view line) {
  size_t found = std::string_view::npos;
  for (size_t i = 0; i < line.size();) {
    const auto c = static_cast<unsigned char>(line[i]);
    if (platform::IsCp932LeadByte(c) && i + 1 < line.size()) {
      i += 2;  // the trail byte may look like ']' (0x5D) but is not one
      continue;
    }
    if (c == ']') found = i;
    ++i;
  }
  return found;
}

size_t LastCloseBracket(std::u16string_view line) { return line.rfind(u']'); }

char16_t FoldChar(char16_t c) {
  if (c < 0x80) return (c >= u'a' && c <= u'z') ? static_cast<char16_t>(c - 0x20) : c;
  if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return static_cast<char16_t>(c - 0x20);  // Latin-1
  if (c == 0xFF) return 0x178;
  if (c == 0x3C2) return 0x3A3;                                            // final sigma
  if (c >= 0x3B1 && c <= 0x3C9) return static_cast<char16_t>(c - 0x20);    // Greek
  if (c >= 0x430 && c <= 0x44F) return static_cast<char16_t>(c - 0x20);    // Cyrillic
  if (c >= 0x450 && c <= 0x45F) return static_cast<char16_t>(c - 0x50);    // Cyrillic Ё etc.
  if (c >= 0x2170 && c <= 0x217F) return static_cast<char16_t>(c - 0x10);  // Roman numerals
  if (c >= 0x24D0 && c <= 0x24E9) return static_cast<char16_t>(c - 26);    // circled letters
  if (c >= 0xFF41 && c <= 0xFF5A) return static_cast<char16_t>(c - 0x20);  // full-width
  return c;
}

template <typename CharT>
std::basic_string<CharT> Literal(const char* ascii) {
  std::basic_string<CharT> out;
  for (; *ascii != '\0'; ++ascii) out.push_back(static_cast<CharT>(*ascii));
  return out;
}

}  // namespace

std::u16string FoldProfileName(std::string_view cp932_name) {
  cp932_name = cp932_name.substr(0, cp932_name.find('\0'));
  const bool ascii = std::all_of(cp932_name.begin(), cp932_name.end(),
                                 [](char c) { return static_cast<unsigned char>(c) < 0x80; });
  std::u16string folded = ascii ? std::u16string(cp932_name.begin(), cp932_name.end())
                                : platform::Cp932ToUtf16(cp932_name);
  for (char16_t& c : folded) c = FoldChar(c);
  return folded;
}

std::u16string FoldProfileName(std::u16string_view name) {
  name = name.substr(0, name.find(u'\0'));
  std::u16string folded(name);
  for (char16_t& c : folded) c = FoldChar(c);
  return folded;
}

template <typename CharT>
void ProfileText<CharT>::Classify(Line* line) {
  line->kind = Kind::kOther;
  line->folded.clear();
  View text(line->text);
  text = text.substr(0, text.find(CharT(0)));
  size_t begin = 0, end = text.size();
  Trim(text, &begin, &end);
  if (begin == end || text[begin] == ';') return;
  if (text[begin] == '[') {
    const size_t close = LastCloseBracket(text.substr(0, end));
    if (close != View::npos && close > begin) {
      size_t name_begin = begin + 1, name_end = close;
      Trim(text, &name_begin, &name_end);
      line->kind = Kind::kSection;
      line->name_begin = name_begin;
      line->name_end = name_end;
      line->folded = FoldProfileName(text.substr(name_begin, name_end - name_begin));
      return;
    }
  }
  const size_t equals = text.find(CharT('='), begin);
  if (equals == View::npos || equals >= end) return;
  size_t name_begin = begin, name_end = equals;
  Trim(text, &name_begin, &name_end);
  if (name_begin == name_end) return;
  size_t value_begin = equals + 1, value_end = end;
  Trim(text, &value_begin, &value_end);
  line->kind = Kind::kEntry;
  line->name_begin = name_begin;
  line->name_end = name_end;
  line->value_begin = value_begin;
  line->value_end = value_end;
  line->folded = FoldProfileName(text.substr(name_begin, name_end - name_begin));
}

template <typename CharT>
void ProfileText<CharT>::Parse(View text) {
  lines_.clear();
  size_t pos = 0;
  while (pos < text.size()) {
    const size_t newline = text.find(CharT('\n'), pos);
    Line line;
    if (newline == View::npos) {
      line.text = String(text.substr(pos));
      pos = text.size();
    } else {
      line.text = String(text.substr(pos, newline - pos));
      line.ending = Literal<CharT>("\n");
      if (!line.text.empty() && line.text.back() == '\r') {
        line.text.pop_back();
        line.ending = Literal<CharT>("\r\n");
      }
      pos = newline + 1;
    }
    Classify(&line);
    lines_.push_back(std::move(line));
  }
}

template <typename CharT>
typename ProfileText<CharT>::String ProfileText<CharT>::Serialize() const {
  size_t size = 0;
  for (const Line& line : lines_) size += line.text.size() + line.ending.size();
  String out;
  out.reserve(size);
  for (const Line& line : lines_) {
    out += line.text;
    out += line.ending;
  }
  return out;
}

template <typename CharT>
size_t ProfileText<CharT>::FindSection(const std::u16string& folded, size_t from) const {
  for (size_t i = from; i < lines_.size(); ++i) {
    if (lines_[i].kind == Kind::kSection && lines_[i].folded == folded) return i;
  }
  return lines_.size();
}

template <typename CharT>
size_t ProfileText<CharT>::SectionEnd(size_t header) const {
  for (size_t i = header + 1; i < lines_.size(); ++i) {
    if (lines_[i].kind == Kind::kSection) return i;
  }
  return lines_.size();
}

template <typename CharT>
typename ProfileText<CharT>::String ProfileText<CharT>::NewLineEnding() const {
  for (const Line& line : lines_) {
    if (!line.ending.empty()) return line.ending;
  }
  return Literal<CharT>("\r\n");
}

template <typename CharT>
typename ProfileText<CharT>::Line ProfileText<CharT>::MakeLine(String text) const {
  Line line;
  line.text = std::move(text);
  line.ending = NewLineEnding();
  Classify(&line);
  return line;
}

template <typename CharT>
std::optional<typename ProfileText<CharT>::View> ProfileText<CharT>::Find(View section,
                                                                          View key) const {
  const size_t header = FindSection(FoldProfileName(Trimmed(section)));
  if (header == lines_.size()) return std::nullopt;
  const std::u16string folded_key = FoldProfileName(Trimmed(key));
  const size_t end = SectionEnd(header);
  for (size_t i = header + 1; i < end; ++i) {
    const Line& line = lines_[i];
    if (line.kind == Kind::kEntry && line.folded == folded_key) {
      return View(line.text).substr(line.value_begin, line.value_end - line.value_begin);
    }
  }
  return std::nullopt;
}

template <typename CharT>
bool ProfileText<CharT>::Set(View section, View key, View value) {
  section = Trimmed(section);
  key = Trimmed(key);
  const String new_ending = NewLineEnding();
  const size_t header = FindSection(FoldProfileName(section));
  if (header == lines_.size()) {
    if (!lines_.empty() && lines_.back().ending.empty()) lines_.back().ending = new_ending;
    String header_text = Literal<CharT>("[");
    header_text += section;
    header_text += CharT(']');
    lines_.push_back(MakeLine(std::move(header_text)));
    String entry(key);
    entry += CharT('=');
    entry += value;
    lines_.push_back(MakeLine(std::move(entry)));
    return true;
  }
  const std::u16string folded_key = FoldProfileName(key);
  const size_t end = SectionEnd(header);
  size_t last_entry = header;
  for (size_t i = header + 1; i < end; ++i) {
    Line& line = lines_[i];
    if (line.kind != Kind::kEntry) continue;
    last_entry = i;
    if (line.folded != folded_key) continue;
    if (View(line.text).substr(line.value_begin, line.value_end - line.value_begin) == value) {
      return false;
    }
    String text = line.text.substr(line.name_begin, line.name_end - line.name_begin);
    text += CharT('=');
    text += value;
    line.text = std::move(text);
    Classify(&line);
    return true;
  }
  if (lines_[last_entry].ending.empty()) lines_[last_entry].ending = new_ending;
  String entry(key);
  entry += CharT('=');
  entry += value;
  lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(last_entry + 1),
                MakeLine(std::move(entry)));
  return true;
}

template <typename CharT>
bool ProfileText<CharT>::RemoveKey(View section, View key) {
  const std::u16string folded_section = FoldProfileName(Trimmed(section));
  const std::u16string folded_key = FoldProfileName(Trimmed(key));
  bool removed = false;
  for (size_t header = FindSection(folded_section); header < lines_.size();
       header = FindSection(folded_section, header + 1)) {
    const size_t end = SectionEnd(header);
    const auto first = lines_.begin() + static_cast<std::ptrdiff_t>(header + 1);
    const auto last = lines_.begin() + static_cast<std::ptrdiff_t>(end);
    const auto kept = std::remove_if(first, last, [&](const Line& line) {
      return line.kind == Kind::kEntry && line.folded == folded_key;
    });
    if (kept != last) {
      removed = true;
      lines_.erase(kept, last);
    }
  }
  return removed;
}

template <typename CharT>
bool ProfileText<CharT>::RemoveSection(View section) {
  const std::u16string folded = FoldProfileName(Trimmed(section));
  bool removed = false;
  for (size_t header = FindSection(folded); header < lines_.size();
       header = FindSection(folded, header)) {
    const size_t end = SectionEnd(header);
    lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(header),
                 lines_.begin() + static_cast<std::ptrdiff_t>(end));
    removed = true;
  }
  return removed;
}

template <typename CharT>
std::vector<typename ProfileText<CharT>::String> ProfileText<CharT>::SectionNames() const {
  std::vector<String> names;
  std::unordered_set<std::u16string> seen;
  for (const Line& line : lines_) {
    if (line.kind == Kind::kSection && seen.insert(line.folded).second) {
      names.push_back(line.text.substr(line.name_begin, line.name_end - line.name_begin));
    }
  }
  return names;
}

template <typename CharT>
std::vector<typename ProfileText<CharT>::String> ProfileText<CharT>::KeyNames(View section) const {
  std::vector<String> names;
  const size_t header = FindSection(FoldProfileName(Trimmed(section)));
  if (header == lines_.size()) return names;
  std::unordered_set<std::u16string> seen;
  const size_t end = SectionEnd(header);
  for (size_t i = header + 1; i < end; ++i) {
    const Line& line = lines_[i];
    if (line.kind == Kind::kEntry && seen.insert(line.folded).second) {
      names.push_back(line.text.substr(line.name_begin, line.name_end - line.name_begin));
    }
  }
  return names;
}

template <typename CharT>
bool ProfileText<CharT>::IsValidSectionName(View name) {
  if (name.find_first_of(Literal<CharT>("\r\n")) != View::npos) return false;
  if (name.find(CharT(0)) != View::npos) return false;
  return !Trimmed(name).empty();
}

template <typename CharT>
bool ProfileText<CharT>::IsValidKeyName(View name) {
  if (name.find_first_of(Literal<CharT>("\r\n=")) != View::npos) return false;
  if (name.find(CharT(0)) != View::npos) return false;
  const View trimmed = Trimmed(name);
  return !trimmed.empty() && trimmed[0] != '[' && trimmed[0] != ';';
}

template class ProfileText<char>;
template class ProfileText<char16_t>;

}  // namespace korvo

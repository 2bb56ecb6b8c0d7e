// The text of one private-profile (.ini) file in memory: parsing, look-up and editing.
//
// The file is kept as its lines, byte for byte; an edit changes, inserts or removes whole lines
// and leaves every other line (comments, blank lines, unknown content, line endings) untouched.
// Rules, as the Windows private-profile functions apply them:
//   - a line "[name]" (blanks around it allowed) starts a section; the name runs to the last ']'
//     of the line and is trimmed; text after that ']' is ignored;
//   - a line "key=value" in a section is an entry; key and value are trimmed of blanks (space,
//     tab, CR, VT, FF and Ctrl+Z); the first '=' separates them;
//   - lines starting with ';', lines without '=', and lines before the first section are kept but
//     never found;
//   - sections and keys are compared without regard to case (ASCII, Latin-1, Greek, Cyrillic,
//     Roman numerals and the full-width forms, as the characters appear in CP932 files);
//   - when a section or key occurs more than once, the first section of that name and the first
//     entry of that key in it are the ones read and changed;
//   - a NUL ends a name or value, as it would in a C string.
// CharT is char (CP932 files: the two-byte characters of CP932 are respected, so a trail byte that
// looks like ']' is not taken for one) or char16_t (UTF-16 files).
//
// Not thread-safe: one thread at a time per object.
#ifndef KORVO_SHELL_PROFILE_TEXT_H_
#define KORVO_SHELL_PROFILE_TEXT_H_

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace korvo {

// The case-folded form under which a section or key name is compared. CP932 names are converted
// to UTF-16 first.
std::u16string FoldProfileName(std::string_view cp932_name);
std::u16string FoldProfileName(std::u16string_view name);

template <typename CharT>
class ProfileText {
 public:
  using String = std::basic_string<CharT>;
  using View = std::basic_string_view<CharT>;

  // Replaces the content with `text` (without a byte-order mark).
  void Parse(View text);
  // The file content: every line with its own line ending.
  String Serialize() const;

  bool empty() const { return lines_.empty(); }

  // The trimmed value of `key` in section `section`, or nothing when either is absent. The view
  // stays valid until the next change.
  std::optional<View> Find(View section, View key) const;

  // Sets `key` in `section` to `value`, adding the section at the end of the text and the key
  // after the last entry of its section when they are missing. An existing entry keeps its key's
  // spelling. The names must be valid (see IsValidSectionName / IsValidKeyName) and the value must
  // hold no line break; the caller checks. Returns true when the text changed.
  bool Set(View section, View key, View value);

  // Removes every entry of `key` in every section named `section`; true when one was removed.
  bool RemoveKey(View section, View key);
  // Removes every section named `section` with all its lines; true when one was removed.
  bool RemoveSection(View section);

  // Section names in file order, each name once (its first spelling).
  std::vector<String> SectionNames() const;
  // Key names of the first section named `section` in file order, each once.
  std::vector<String> KeyNames(View section) const;

  // A section name can be written when, trimmed, it is not empty and holds no CR, LF or NUL.
  static bool IsValidSectionName(View name);
  // A key can be written when, trimmed, it is not empty, holds no '=', CR, LF or NUL, and does not
  // start with '[' or ';' (which would make the line a section or a comment).
  static bool IsValidKeyName(View name);

 private:
  enum class Kind : uint8_t { kOther, kSection, kEntry };
  struct Line {
    String text;    // without the line ending
    String ending;  // "\r\n", "\n" or empty (last line of a file without a final line break)
    Kind kind = Kind::kOther;
    std::u16string folded;                  // folded section or key name
    size_t name_begin = 0, name_end = 0;    // the name within `text`
    size_t value_begin = 0, value_end = 0;  // the value within `text` (entries)
  };

  static void Classify(Line* line);
  // Index of the header of the first section named like `folded`, or lines_.size().
  size_t FindSection(const std::u16string& folded, size_t from = 0) const;
  // Index of the next section header after `header`, or lines_.size().
  size_t SectionEnd(size_t header) const;
  // The line ending new lines get: that of the first line that has one, else CR LF.
  String NewLineEnding() const;
  Line MakeLine(String text) const;

  std::vector<Line> lines_;
};

extern template class ProfileText<char>;
extern template class ProfileText<char16_t>;

}  // namespace korvo

#endif  // KORVO_SHELL_PROFILE_TEXT_H_

#include "shell/profile_file.h"

#include <atomic>
#include <cstdio>

#include "platform/clock.h"
#include "platform/code_page.h"
#include "platform/file_attributes.h"
#include "platform/files.h"
#include "shell/text_limit.h"

namespace korvo {

namespace {

std::recursive_mutex& ProfileMutex() {
  static std::recursive_mutex mutex;
  return mutex;
}

template <typename CharT>
bool IsBlankChar(CharT c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f' || c == 0x1A;
}

// A value enclosed in a matching pair of quotes loses them.
template <typename CharT>
std::basic_string_view<CharT> StripQuotes(std::basic_string_view<CharT> value) {
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
      value.back() == value.front()) {
    return value.substr(1, value.size() - 2);
  }
  return value;
}

template <typename CharT>
std::basic_string_view<CharT> TrimTrailingBlanks(std::basic_string_view<CharT> text) {
  text = text.substr(0, text.find(CharT(0)));
  while (!text.empty() && IsBlankChar(text.back())) text.remove_suffix(1);
  return text;
}

// A written value ends at its first line break or NUL.
template <typename CharT>
std::basic_string_view<CharT> SingleLine(std::basic_string_view<CharT> value) {
  for (size_t i = 0; i < value.size(); ++i) {
    if (value[i] == '\r' || value[i] == '\n' || value[i] == 0) return value.substr(0, i);
  }
  return value;
}

std::string Cp932(std::u16string_view text) { return platform::Utf16ToCp932(text); }
std::u16string Utf16(std::string_view text) { return platform::Cp932ToUtf16(text); }

// Serialised file content in the file's encoding.
std::string EncodeUtf16File(const std::u16string& text) {
  std::string bytes;
  bytes.reserve(2 + text.size() * 2);
  bytes.push_back(static_cast<char>(0xFF));
  bytes.push_back(static_cast<char>(0xFE));
  for (char16_t c : text) {
    bytes.push_back(static_cast<char>(c & 0xFF));
    bytes.push_back(static_cast<char>(c >> 8));
  }
  return bytes;
}

std::u16string DecodeUtf16File(std::string_view bytes) {  // without the byte-order mark
  std::u16string text;
  text.reserve(bytes.size() / 2);
  for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
    text.push_back(static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) |
                                         (static_cast<unsigned char>(bytes[i + 1]) << 8)));
  }
  return text;
}

// Writes `bytes` to a new file beside `path` and puts it in place of `path`.
bool ReplaceFile(const std::string& path, const std::string& bytes) {
  static std::atomic<unsigned> counter{0};
  const std::string temp = path + ".~" + std::to_string(platform::MonotonicMilliseconds()) + "_" +
                           std::to_string(counter++);
  bool ok = false;
  {
    platform::File file;
    ok = file.Open(temp, platform::File::Mode::kTruncate) &&
         file.WriteAt(0, bytes.data(), bytes.size()) && file.Flush();
  }
  ok = ok && platform::RenameFile(temp, path, /*replace=*/true);
  if (!ok) platform::RemoveFile(temp);
  return ok;
}

}  // namespace

ProfileFileLock::ProfileFileLock() : lock_(ProfileMutex()) {}
ProfileFileLock::~ProfileFileLock() = default;

int ParseProfileInt(std::string_view text, int empty_value) {
  if (text.empty()) return empty_value;
  size_t i = 0;
  bool negative = false;
  if (text[0] == '+' || text[0] == '-') {
    negative = text[0] == '-';
    i = 1;
  }
  uint32_t value = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    value = value * 10u + static_cast<uint32_t>(text[i] - '0');
  }
  if (negative) value = 0u - value;
  return static_cast<int>(static_cast<int32_t>(value));
}

bool ProfileFile::Load(const std::string& path, ProfileEncoding new_file_encoding) {
  ProfileFileLock lock;
  path_ = path;
  encoding_ = new_file_encoding;
  changed_ = false;
  cp932_.Parse({});
  utf16_.Parse({});
  if (!platform::FileExists(path)) {
    // A folder or other non-file of that name cannot be replaced safely either.
    state_ = platform::DirectoryExists(path) ? State::kUnusable : State::kMissing;
    return state_ == State::kMissing;
  }
  std::string bytes;
  if (!platform::ReadWholeFile(path, &bytes, static_cast<size_t>(kMaxProfileFileSize))) {
    state_ = State::kUnusable;
    return false;
  }
  state_ = State::kLoaded;
  if (bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFF &&
      static_cast<unsigned char>(bytes[1]) == 0xFE) {
    encoding_ = ProfileEncoding::kUtf16Le;
    utf16_.Parse(DecodeUtf16File(std::string_view(bytes).substr(2)));
  } else {
    encoding_ = ProfileEncoding::kCp932;
    cp932_.Parse(bytes);
  }
  return true;
}

bool ProfileFile::Save() {
  ProfileFileLock lock;
  if (state_ == State::kEmpty || state_ == State::kUnusable) return false;
  if (!changed_) return true;
  if (platform::IsReadOnlyFile(path_)) return false;
  const std::string bytes = encoding_ == ProfileEncoding::kUtf16Le
                                ? EncodeUtf16File(utf16_.Serialize())
                                : cp932_.Serialize();
  if (!ReplaceFile(path_, bytes)) return false;
  changed_ = false;
  state_ = State::kLoaded;
  return true;
}

// --- CP932 interface ---

bool ProfileFile::Has(std::string_view section, std::string_view key) const {
  if (encoding_ == ProfileEncoding::kCp932) return cp932_.Find(section, key).has_value();
  return utf16_.Find(Utf16(section), Utf16(key)).has_value();
}

std::string ProfileFile::GetString(std::string_view section, std::string_view key,
                                   std::string_view default_value, size_t buffer_size) const {
  std::string value;
  if (encoding_ == ProfileEncoding::kCp932) {
    if (auto found = cp932_.Find(section, key)) {
      value = std::string(StripQuotes(*found));
    } else {
      value = std::string(TrimTrailingBlanks(default_value));
    }
  } else {
    if (auto found = utf16_.Find(Utf16(section), Utf16(key))) {
      value = Cp932(StripQuotes(*found));
    } else {
      value = std::string(TrimTrailingBlanks(default_value));
    }
  }
  if (buffer_size == kNoBufferLimit) return TruncateCp932(value, value.size());
  return TruncateCp932(value, buffer_size == 0 ? 0 : buffer_size - 1);
}

int ProfileFile::GetInt(std::string_view section, std::string_view key, int default_value) const {
  if (encoding_ == ProfileEncoding::kCp932) {
    auto found = cp932_.Find(section, key);
    if (!found) return default_value;
    return ParseProfileInt(StripQuotes(*found), default_value);
  }
  return GetInt(Utf16(section), Utf16(key), default_value);
}

uint32_t ProfileFile::GetUnsigned(std::string_view section, std::string_view key,
                                  uint32_t default_value) const {
  return static_cast<uint32_t>(GetInt(section, key, static_cast<int>(default_value)));
}

bool ProfileFile::PutString(std::string_view section, std::string_view key,
                            std::string_view value) {
  if (encoding_ == ProfileEncoding::kUtf16Le) {
    return PutString(Utf16(section), Utf16(key), Utf16(SingleLine(value)));
  }
  if (!ProfileText<char>::IsValidSectionName(section) || !ProfileText<char>::IsValidKeyName(key)) {
    return false;
  }
  if (cp932_.Set(section, key, SingleLine(value))) changed_ = true;
  return true;
}

bool ProfileFile::PutInt(std::string_view section, std::string_view key, int32_t value) {
  char text[16];
  std::snprintf(text, sizeof text, "%d", static_cast<int>(value));
  return PutString(section, key, text);
}

bool ProfileFile::PutUnsigned(std::string_view section, std::string_view key, uint32_t value) {
  char text[16];
  std::snprintf(text, sizeof text, "%u", static_cast<unsigned>(value));
  return PutString(section, key, text);
}

bool ProfileFile::RemoveKey(std::string_view section, std::string_view key) {
  if (encoding_ == ProfileEncoding::kUtf16Le) return RemoveKey(Utf16(section), Utf16(key));
  const bool removed = cp932_.RemoveKey(section, key);
  changed_ = changed_ || removed;
  return removed;
}

bool ProfileFile::RemoveSection(std::string_view section) {
  if (encoding_ == ProfileEncoding::kUtf16Le) return RemoveSection(Utf16(section));
  const bool removed = cp932_.RemoveSection(section);
  changed_ = changed_ || removed;
  return removed;
}

std::vector<std::string> ProfileFile::SectionNames() const {
  if (encoding_ == ProfileEncoding::kCp932) return cp932_.SectionNames();
  std::vector<std::string> names;
  for (const std::u16string& name : utf16_.SectionNames()) names.push_back(Cp932(name));
  return names;
}

std::vector<std::string> ProfileFile::KeyNames(std::string_view section) const {
  if (encoding_ == ProfileEncoding::kCp932) return cp932_.KeyNames(section);
  std::vector<std::string> names;
  for (const std::u16string& name : utf16_.KeyNames(Utf16(section))) names.push_back(Cp932(name));
  return names;
}

// --- UTF-16 interface ---

bool ProfileFile::Has(std::u16string_view section, std::u16string_view key) const {
  if (encoding_ == ProfileEncoding::kUtf16Le) return utf16_.Find(section, key).has_value();
  return cp932_.Find(Cp932(section), Cp932(key)).has_value();
}

std::u16string ProfileFile::GetString(std::u16string_view section, std::u16string_view key,
                                      std::u16string_view default_value, size_t buffer_size) const {
  std::u16string value;
  if (encoding_ == ProfileEncoding::kUtf16Le) {
    if (auto found = utf16_.Find(section, key)) {
      value = std::u16string(StripQuotes(*found));
    } else {
      value = std::u16string(TrimTrailingBlanks(default_value));
    }
  } else {
    if (auto found = cp932_.Find(Cp932(section), Cp932(key))) {
      value = Utf16(StripQuotes(*found));
    } else {
      value = std::u16string(TrimTrailingBlanks(default_value));
    }
  }
  if (buffer_size == kNoBufferLimit) return TruncateUtf16(value, value.size());
  return TruncateUtf16(value, buffer_size == 0 ? 0 : buffer_size - 1);
}

int ProfileFile::GetInt(std::u16string_view section, std::u16string_view key,
                        int default_value) const {
  if (encoding_ == ProfileEncoding::kCp932)
    return GetInt(Cp932(section), Cp932(key), default_value);
  auto found = utf16_.Find(section, key);
  if (!found) return default_value;
  // Digits and signs are ASCII; anything else ends the number, so the narrowing is harmless.
  std::string ascii;
  for (char16_t c : StripQuotes(*found)) ascii.push_back(c < 0x80 ? static_cast<char>(c) : '?');
  return ParseProfileInt(ascii, default_value);
}

bool ProfileFile::PutString(std::u16string_view section, std::u16string_view key,
                            std::u16string_view value) {
  if (encoding_ == ProfileEncoding::kCp932) {
    return PutString(Cp932(section), Cp932(key), Cp932(SingleLine(value)));
  }
  if (!ProfileText<char16_t>::IsValidSectionName(section) ||
      !ProfileText<char16_t>::IsValidKeyName(key)) {
    return false;
  }
  if (utf16_.Set(section, key, SingleLine(value))) changed_ = true;
  return true;
}

bool ProfileFile::PutInt(std::u16string_view section, std::u16string_view key, int32_t value) {
  char text[16];
  std::snprintf(text, sizeof text, "%d", static_cast<int>(value));
  const std::string ascii(text);
  return PutString(section, key, std::u16string(ascii.begin(), ascii.end()));
}

bool ProfileFile::RemoveKey(std::u16string_view section, std::u16string_view key) {
  if (encoding_ == ProfileEncoding::kCp932) return RemoveKey(Cp932(section), Cp932(key));
  const bool removed = utf16_.RemoveKey(section, key);
  changed_ = changed_ || removed;
  return removed;
}

bool ProfileFile::RemoveSection(std::u16string_view section) {
  if (encoding_ == ProfileEncoding::kCp932) return RemoveSection(Cp932(section));
  const bool removed = utf16_.RemoveSection(section);
  changed_ = changed_ || removed;
  return removed;
}

std::vector<std::u16string> ProfileFile::SectionNamesW() const {
  if (encoding_ == ProfileEncoding::kUtf16Le) return utf16_.SectionNames();
  std::vector<std::u16string> names;
  for (const std::string& name : cp932_.SectionNames()) names.push_back(Utf16(name));
  return names;
}

std::vector<std::u16string> ProfileFile::KeyNamesW(std::u16string_view section) const {
  if (encoding_ == ProfileEncoding::kUtf16Le) return utf16_.KeyNames(section);
  std::vector<std::u16string> names;
  for (const std::string& name : cp932_.KeyNames(Cp932(section))) names.push_back(Utf16(name));
  return names;
}

// --- one-call forms ---

std::string ReadProfileString(const std::string& path, std::string_view section,
                              std::string_view key, std::string_view default_value,
                              size_t buffer_size) {
  ProfileFile file;
  file.Load(path);
  return file.GetString(section, key, default_value, buffer_size);
}

int ReadProfileInt(const std::string& path, std::string_view section, std::string_view key,
                   int default_value) {
  ProfileFile file;
  file.Load(path);
  return file.GetInt(section, key, default_value);
}

bool WriteProfileValue(const std::string& path, std::string_view section, std::string_view key,
                       std::string_view value) {
  ProfileFileLock lock;
  ProfileFile file;
  return file.Load(path) && file.PutString(section, key, value) && file.Save();
}

bool DeleteProfileKey(const std::string& path, std::string_view section, std::string_view key) {
  ProfileFileLock lock;
  ProfileFile file;
  if (!file.Load(path)) return false;
  file.RemoveKey(section, key);
  return file.Save();
}

bool DeleteProfileSection(const std::string& path, std::string_view section) {
  ProfileFileLock lock;
  ProfileFile file;
  if (!file.Load(path)) return false;
  file.RemoveSection(section);
  return file.Save();
}

}  // namespace korvo

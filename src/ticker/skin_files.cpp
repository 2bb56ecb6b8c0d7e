#include "ticker/skin_files.h"

#include <cstdint>

#include "platform/files.h"

namespace korvo {

namespace {

constexpr int kMaxBitmapSide = 32767;

uint32_t Le32(const unsigned char* p) {
  return p[0] | p[1] << 8 | p[2] << 16 | static_cast<uint32_t>(p[3]) << 24;
}
uint16_t Le16(const unsigned char* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }

}  // namespace

bool HasSuffixNoCase(std::string_view name, std::string_view suffix) {
  if (name.size() < suffix.size()) return false;
  const std::string_view tail = name.substr(name.size() - suffix.size());
  for (size_t i = 0; i < suffix.size(); ++i) {
    char a = tail[i];
    char b = suffix[i];
    if (a >= 'A' && a <= 'Z') a = static_cast<char>(a - 'A' + 'a');
    if (b >= 'A' && b <= 'Z') b = static_cast<char>(b - 'A' + 'a');
    if (a != b) return false;
  }
  return true;
}

bool FindSkinFiles(const std::string& folder, SkinFiles* files) {
  *files = SkinFiles();
  files->folder = folder;
  for (const platform::DirectoryEntry& entry : platform::ListDirectory(folder)) {
    if (entry.is_directory) continue;
    if (files->ini.empty() && HasSuffixNoCase(entry.name, ".ini")) {
      files->ini = folder + "/" + entry.name;
    } else if (files->bitmap.empty() && HasSuffixNoCase(entry.name, ".bmp")) {
      files->bitmap = folder + "/" + entry.name;
    }
  }
  const std::string buttons = folder + "/" + kButtonBitmapName;
  if (platform::FileExists(buttons)) files->button_bitmap = buttons;
  return !files->ini.empty() && !files->bitmap.empty();
}

bool ReadBitmapSize(const std::string& path, int* width, int* height) {
  platform::File file;
  if (!file.Open(path, platform::File::Mode::kRead)) return false;
  unsigned char head[26] = {};
  const int64_t got = file.ReadAt(0, head, sizeof head);
  if (got < 26 || head[0] != 'B' || head[1] != 'M') return false;
  const uint32_t header_size = Le32(head + 14);
  int64_t w = 0;
  int64_t h = 0;
  if (header_size == 12) {  // BITMAPCOREHEADER
    w = Le16(head + 18);
    h = Le16(head + 20);
  } else if (header_size >= 40) {  // BITMAPINFOHEADER and its successors
    w = static_cast<int32_t>(Le32(head + 18));
    h = static_cast<int32_t>(Le32(head + 22));
    if (h < 0) h = -h;  // a top-down bitmap
  } else {
    return false;
  }
  if (w <= 0 || h <= 0 || w > kMaxBitmapSide || h > kMaxBitmapSide) return false;
  *width = static_cast<int>(w);
  *height = static_cast<int>(h);
  return true;
}

}  // namespace korvo

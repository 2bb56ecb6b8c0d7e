#include "browse/browse_fonts.h"

#include <cstdlib>

#include "platform/code_page.h"
#include "shell/font_section.h"
#include "shell/profile_file.h"

namespace korvo {

namespace {

std::string SetupIni(const std::string& folder) { return folder + "/setup.ini"; }

}  // namespace

TitleFont DefaultBrowseFont(std::string_view section) {
  TitleFont font;
  font.height = section == kDescFontSection ? -18 : -12;
  font.weight = 400;
  font.char_set = 1;  // DEFAULT_CHARSET
  font.quality = 3;   // NONANTIALIASED_QUALITY
  font.face_name = platform::Utf8ToCp932("MS UI Gothic");
  return font;
}

TitleFont LoadBrowseFont(const std::string& folder, std::string_view section) {
  ProfileFileLock lock;
  ProfileFile ini;
  ini.Load(SetupIni(folder));
  if (HasFontSection(ini, section)) return ReadFontSection(ini, section);
  const TitleFont font = DefaultBrowseFont(section);
  WriteFontSection(&ini, section, font);
  ini.Save();
  return font;
}

bool SaveBrowseFont(const std::string& folder, std::string_view section, const TitleFont& font) {
  ProfileFileLock lock;
  ProfileFile ini;
  ini.Load(SetupIni(folder));
  WriteFontSection(&ini, section, font);
  return ini.Save();
}

int ListRowHeight(int font_height) { return std::abs(font_height) * 30 / 20; }

}  // namespace korvo

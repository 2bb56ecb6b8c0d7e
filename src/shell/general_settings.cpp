#include "shell/general_settings.h"

#include <tuple>

#include "platform/files.h"
#include "shell/font_section.h"
#include "shell/legacy_settings_image.h"
#include "shell/profile_file.h"

namespace korvo {

namespace {

constexpr char kAppData[] = "app_data";
constexpr char kTitleFontSection[] = "titlefont";
constexpr char kBackColorSection[] = "backcolor";

std::string SetupIniPath(const std::string& folder) { return folder + "/setup.ini"; }
std::string LegacyPath(const std::string& folder) { return folder + "/eboard"; }

auto Tie(const WindowPlacementFields& p) {
  return std::tie(p.length, p.flags, p.show_command, p.min_x, p.min_y, p.max_x, p.max_y, p.left,
                  p.top, p.right, p.bottom);
}

auto Tie(const TitleFont& f) {
  return std::tie(f.height, f.width, f.escapement, f.orientation, f.weight, f.italic, f.underline,
                  f.strike_out, f.char_set, f.out_precision, f.clip_precision, f.quality,
                  f.pitch_and_family, f.face_name);
}

auto Tie(const GeneralSettings& s) {
  return std::tie(s.placement, s.width, s.height, s.x_spacing, s.y_spacing, s.font_size,
                  s.scroll_speed, s.new_color, s.flags, s.skin, s.read_color, s.old_color,
                  s.tip_flags, s.multi_monitor, s.title_font, s.anti_alias, s.over_skin_font,
                  s.over_back_color, s.back_color, s.alpha_blend, s.system_major, s.system_minor,
                  s.browser_path, s.browser_option);
}

GeneralSettings ReadSetupIni(const ProfileFile& ini) {
  const GeneralSettings d;  // the defaults
  GeneralSettings s;
  WindowPlacementFields& p = s.placement;
  p.flags = ini.GetUnsigned(kAppData, "wp_flag", d.placement.flags);
  p.show_command = ini.GetUnsigned(kAppData, "wp_showcmd", d.placement.show_command);
  p.min_x = ini.GetInt(kAppData, "wp_minxpos", d.placement.min_x);
  p.min_y = ini.GetInt(kAppData, "wp_minypos", d.placement.min_y);
  p.max_x = ini.GetInt(kAppData, "wp_maxxpos", d.placement.max_x);
  p.max_y = ini.GetInt(kAppData, "wp_maxypos", d.placement.max_y);
  p.left = ini.GetInt(kAppData, "wp_left", d.placement.left);
  p.top = ini.GetInt(kAppData, "wp_top", d.placement.top);
  p.right = ini.GetInt(kAppData, "wp_right", d.placement.right);
  p.bottom = ini.GetInt(kAppData, "wp_bottom", d.placement.bottom);
  s.width = ini.GetInt(kAppData, "width", d.width);
  s.height = ini.GetInt(kAppData, "height", d.height);
  s.x_spacing = ini.GetInt(kAppData, "xSp", d.x_spacing);
  s.y_spacing = ini.GetInt(kAppData, "ySp", d.y_spacing);
  s.font_size = static_cast<uint16_t>(ini.GetUnsigned(kAppData, "FontSize", d.font_size));
  s.scroll_speed = static_cast<uint16_t>(ini.GetUnsigned(kAppData, "ScrollSpeed", d.scroll_speed));
  s.new_color = ini.GetUnsigned(kAppData, "cf", d.new_color);
  s.flags = ini.GetUnsigned(kAppData, "iFlag", d.flags);
  s.skin = ini.GetString(kAppData, "skin", "", kSkinNameSize);
  s.read_color = ini.GetUnsigned(kAppData, "readcf", d.read_color);
  s.old_color = ini.GetUnsigned(kAppData, "oldcf", d.old_color);
  s.tip_flags = ini.GetUnsigned(kAppData, "iTipFlag", 0);
  s.multi_monitor = ini.GetInt(kAppData, "multi_monitor", d.multi_monitor);
  s.alpha_blend = static_cast<uint8_t>(ini.GetUnsigned(kAppData, "alpha_blend", d.alpha_blend));
  s.browser_path = ini.GetString(kAppData, "browser_path", "", kBrowserPathSize);
  s.browser_option = ini.GetString(kAppData, "browser_option", "", kBrowserOptionSize);

  s.title_font = ReadFontSection(ini, kTitleFontSection);
  s.anti_alias = ini.GetInt(kTitleFontSection, "anti_alias", 0);
  s.over_skin_font = ini.GetInt(kTitleFontSection, "over_skin_font", 0);

  s.over_back_color = ini.GetInt(kBackColorSection, "over_backcolor", 0);
  s.back_color = ini.GetUnsigned(kBackColorSection, "colorcode", 0);
  return s;
}

void WriteSetupIni(const GeneralSettings& s, ProfileFile* ini) {
  const WindowPlacementFields& p = s.placement;
  ini->PutUnsigned(kAppData, "wp_flag", p.flags);
  ini->PutUnsigned(kAppData, "wp_showcmd", p.show_command);
  ini->PutInt(kAppData, "wp_minxpos", p.min_x);
  ini->PutInt(kAppData, "wp_minypos", p.min_y);
  ini->PutInt(kAppData, "wp_maxxpos", p.max_x);
  ini->PutInt(kAppData, "wp_maxypos", p.max_y);
  ini->PutInt(kAppData, "wp_left", p.left);
  ini->PutInt(kAppData, "wp_top", p.top);
  ini->PutInt(kAppData, "wp_right", p.right);
  ini->PutInt(kAppData, "wp_bottom", p.bottom);
  ini->PutInt(kAppData, "width", s.width);
  ini->PutInt(kAppData, "height", s.height);
  ini->PutInt(kAppData, "xSp", s.x_spacing);
  ini->PutInt(kAppData, "ySp", s.y_spacing);
  ini->PutUnsigned(kAppData, "FontSize", s.font_size);
  ini->PutUnsigned(kAppData, "ScrollSpeed", s.scroll_speed);
  ini->PutInt(kAppData, "cf", static_cast<int32_t>(s.new_color));
  ini->PutUnsigned(kAppData, "iFlag", s.flags);
  ini->PutString(kAppData, "skin", s.skin);
  ini->PutInt(kAppData, "readcf", static_cast<int32_t>(s.read_color));
  ini->PutInt(kAppData, "oldcf", static_cast<int32_t>(s.old_color));
  ini->PutUnsigned(kAppData, "iTipFlag", s.tip_flags);
  ini->PutInt(kAppData, "multi_monitor", s.multi_monitor);
  ini->PutInt(kAppData, "alpha_blend", s.alpha_blend);
  ini->PutString(kAppData, "browser_path", s.browser_path);
  ini->PutString(kAppData, "browser_option", s.browser_option);

  WriteFontSection(ini, kTitleFontSection, s.title_font);
  ini->PutInt(kTitleFontSection, "anti_alias", s.anti_alias);
  ini->PutInt(kTitleFontSection, "over_skin_font", s.over_skin_font);

  ini->PutInt(kBackColorSection, "over_backcolor", s.over_back_color);
  ini->PutInt(kBackColorSection, "colorcode", static_cast<int32_t>(s.back_color));
}

// Reads the legacy image; false when "eboard" is not a readable file.
bool ReadLegacy(const std::string& path, GeneralSettings* settings) {
  if (!platform::FileExists(path)) return false;
  platform::File file;
  if (!file.Open(path, platform::File::Mode::kRead)) return false;
  LegacySettingsImage image{};
  const int64_t got = file.ReadAt(0, image.data(), image.size());
  if (got < 0) return false;
  *settings = DecodeLegacySettings(image.data(), static_cast<size_t>(got));
  return true;
}

}  // namespace

bool WindowPlacementFields::operator==(const WindowPlacementFields& o) const {
  return Tie(*this) == Tie(o);
}
bool TitleFont::operator==(const TitleFont& o) const { return Tie(*this) == Tie(o); }
bool GeneralSettings::operator==(const GeneralSettings& o) const { return Tie(*this) == Tie(o); }

GeneralSettings LoadGeneralSettings(const std::string& folder, platform::SystemVersion system,
                                    SettingsSource* source) {
  GeneralSettings settings;
  SettingsSource from = SettingsSource::kSetupIni;
  const std::string legacy = LegacyPath(folder);
  if (ReadLegacy(legacy, &settings)) {
    settings.placement.length = 44;
    if (settings.tip_flags == 0) settings.tip_flags = 63;
    settings.system_major = system.major;
    settings.system_minor = system.minor;
    // Write the imported values before the legacy file goes, so a crash cannot lose them.
    from = SettingsSource::kLegacyKept;
    if (SaveGeneralSettings(folder, settings) && platform::RemoveFile(legacy)) {
      from = SettingsSource::kLegacyImported;
    }
  } else {
    ProfileFile ini;
    ini.Load(SetupIniPath(folder));
    settings = ReadSetupIni(ini);
  }
  settings.placement.length = 44;
  if (settings.tip_flags == 0) settings.tip_flags = 63;
  settings.system_major = system.major;
  settings.system_minor = system.minor;
  if (source != nullptr) *source = from;
  return settings;
}

bool SaveGeneralSettings(const std::string& folder, const GeneralSettings& settings) {
  ProfileFileLock lock;
  ProfileFile ini;
  if (!ini.Load(SetupIniPath(folder))) return false;
  WriteSetupIni(settings, &ini);
  return ini.Save();
}

WindowPlacementFields PlacementForStart(const GeneralSettings& settings,
                                        bool start_in_tray_switch) {
  WindowPlacementFields placement = settings.placement;
  if (start_in_tray_switch || (settings.flags & general_flags::kStartInTray) != 0) {
    placement.show_command = 0;  // SW_HIDE
  } else if (placement.show_command == 0) {
    // A stored "hidden" outside the tray start would leave a program without a window and
    // without a tray icon: nothing the user could click to get it back.
    placement.show_command = 1;  // SW_SHOWNORMAL
  }
  return placement;
}

uint32_t UpdatePeriodMilliseconds(uint32_t flags) {
  return (flags & general_flags::kUpdateIntervalMinutes) * 60000u;
}

}  // namespace korvo

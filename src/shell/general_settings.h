// The general settings record: section `app_data` of setup.ini, with the title font (section
// `titlefont`) and the back colour (section `backcolor`), and the one-time import of the legacy
// settings file "eboard".
//
// The record is a plain struct; its legacy 3000-byte image (legacy_settings_image.h) fixes the
// order and size of every field. Texts are CP932 and never longer than their field in that image
// allows (one byte is kept for the terminating NUL).
//
// Thread-safety: a GeneralSettings value belongs to its holder (the shell keeps the program's one
// on the window thread). Load and save touch only setup.ini and eboard in the folder given and go
// through the profile lock (profile_file.h).
#ifndef KORVO_SHELL_GENERAL_SETTINGS_H_
#define KORVO_SHELL_GENERAL_SETTINGS_H_

#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/system_info.h"

namespace korvo {

// Bits of the general flags word ("iFlag") that the shell and the update cycle use; the other
// bits belong to the ticker and the options dialog.
namespace general_flags {
constexpr uint32_t kUpdateIntervalMinutes = 0xFF;  // bits 0-7; 0 means one hour
constexpr uint32_t kTopmost = 1u << 8;
constexpr uint32_t kRandomOrder = 1u << 9;
constexpr uint32_t kTranslucencyMode4 = 1u << 14;
constexpr uint32_t kTranslucencyMode2 = 1u << 15;
constexpr uint32_t kTranslucencyMode8 = 1u << 16;
constexpr uint32_t kTranslucencyMode16 = 1u << 20;
constexpr uint32_t kStartInTray = 1u << 22;
constexpr uint32_t kShowTrayIcon = 1u << 23;
constexpr uint32_t kFetchAfterChannelEdit = 1u << 30;
constexpr uint32_t kOpenInBrowseWindow = 1u << 31;
constexpr uint32_t kDefault = 135996;  // 60 minutes, bits 8, 9, 12 and 17
}  // namespace general_flags

// Sizes of the text fields in the record, terminating NUL included.
constexpr size_t kSkinNameSize = 260;
constexpr size_t kBrowserPathSize = 2048;
constexpr size_t kBrowserOptionSize = 512;
constexpr size_t kFaceNameSize = 32;

// The first 44 bytes of the record: a Windows WINDOWPLACEMENT, field for field, so the Windows
// side can copy it into one and back.
struct WindowPlacementFields {
  uint32_t length = 44;              // always 44
  uint32_t flags = 1;                // "wp_flag"
  uint32_t show_command = 1;         // "wp_showcmd" (1: SW_SHOWNORMAL, 0: SW_HIDE)
  int32_t min_x = 0, min_y = 0;      // "wp_minxpos", "wp_minypos"
  int32_t max_x = 0, max_y = 0;      // "wp_maxxpos", "wp_maxypos"
  int32_t left = 0, top = 0;         // "wp_left", "wp_top"
  int32_t right = 400, bottom = 40;  // "wp_right", "wp_bottom"
  bool operator==(const WindowPlacementFields& o) const;
};

// A Windows LOGFONTA, field for field (60 bytes in the record): section `titlefont`.
struct TitleFont {
  int32_t height = 0;            // "Height"
  int32_t width = 0;             // "Width"
  int32_t escapement = 0;        // "Escapement"
  int32_t orientation = 0;       // "Orientation"
  int32_t weight = 0;            // "Weight"
  uint8_t italic = 0;            // "Italic"
  uint8_t underline = 0;         // "Underline"
  uint8_t strike_out = 0;        // "StrikeOut"
  uint8_t char_set = 0;          // "CharSet"
  uint8_t out_precision = 0;     // "OutPrecision"
  uint8_t clip_precision = 0;    // "ClipPrecision"
  uint8_t quality = 0;           // "Quality"
  uint8_t pitch_and_family = 0;  // "PitchAndFamily"
  std::string face_name;         // "FaceName", CP932, at most kFaceNameSize - 1 bytes
  bool operator==(const TitleFont& o) const;
};

struct GeneralSettings {
  WindowPlacementFields placement;
  int32_t width = 0;                         // "width": ticker width
  int32_t height = 0;                        // "height": ticker height
  int32_t x_spacing = 0;                     // "xSp"
  int32_t y_spacing = 0;                     // "ySp"
  uint16_t font_size = 20;                   // "FontSize"
  uint16_t scroll_speed = 10;                // "ScrollSpeed"
  uint32_t new_color = 55295;                // "cf": COLORREF of new headlines
  uint32_t flags = general_flags::kDefault;  // "iFlag"
  std::string skin;                          // "skin", at most kSkinNameSize - 1 bytes
  uint32_t read_color = 16777215;            // "readcf"
  uint32_t old_color = 16777215;             // "oldcf"
  uint32_t tip_flags = 63;                   // "iTipFlag": tooltip lines; 0 is read as 63
  int32_t multi_monitor = 0;                 // "multi_monitor"
  TitleFont title_font;                      // section `titlefont`
  int32_t anti_alias = 0;                    // `titlefont` "anti_alias"
  int32_t over_skin_font = 0;                // `titlefont` "over_skin_font"
  int32_t over_back_color = 0;               // `backcolor` "over_backcolor"
  uint32_t back_color = 0;                   // `backcolor` "colorcode"
  uint8_t alpha_blend = 128;                 // "alpha_blend": transparency
  uint32_t system_major = 0;                 // taken from the system at every load
  uint32_t system_minor = 0;
  std::string browser_path;    // "browser_path", < kBrowserPathSize bytes
  std::string browser_option;  // "browser_option", < kBrowserOptionSize bytes
  bool operator==(const GeneralSettings& o) const;
};

// Where a load took the values from.
enum class SettingsSource {
  kSetupIni,        // setup.ini (or the defaults, for what it lacks)
  kLegacyImported,  // "eboard", now written to setup.ini and deleted
  kLegacyKept,      // "eboard", but setup.ini could not be written, so eboard stays for next time
};

// Loads the record from the working folder `folder` (UTF-8).
// If a file "eboard" is there, its first 3000 bytes are the record (missing bytes are 0) and
// setup.ini is not read; the values are written to setup.ini at once and eboard is then deleted,
// so the import happens once and survives a crash before the next save. An eboard marked
// read-only, or one that cannot be deleted, stays, and setup.ini remembers it (key
// "eboard_imported" of `app_data`: its size and last write time), so it is never imported again
// over the settings saved since. Otherwise every key is
// read from setup.ini with its default. Either way a tooltip mask of 0 becomes 63, the placement
// length is 44 and the system version is `system`.
GeneralSettings LoadGeneralSettings(const std::string& folder, platform::SystemVersion system,
                                    SettingsSource* source = nullptr);

// Writes every key of the record to setup.ini in `folder`: integers with "%d", except "iFlag",
// "FontSize", "ScrollSpeed", "iTipFlag", "wp_flag" and "wp_showcmd" with "%u"; texts as they are.
// False when setup.ini could not be written (a read-only file, for one; nothing is reported).
bool SaveGeneralSettings(const std::string& folder, const GeneralSettings& settings);

// The placement to restore at start: the stored one, hidden (show command 0) when the program
// starts in the tray, by the "-m" switch or by flag bit 22. Otherwise a stored show command of 0
// (hidden) is shown normally (1), so the ticker never starts invisible without a tray icon.
WindowPlacementFields PlacementForStart(const GeneralSettings& settings, bool start_in_tray_switch);

// The update scheduler's period: the interval byte of the flags in milliseconds (0 when the byte
// is 0; the scheduler then uses its default of one hour).
uint32_t UpdatePeriodMilliseconds(uint32_t flags);

}  // namespace korvo

#endif  // KORVO_SHELL_GENERAL_SETTINGS_H_

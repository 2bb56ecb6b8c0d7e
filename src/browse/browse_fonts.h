// The browse window's fonts, kept as LOGFONT sections of setup.ini (shell/font_section.h):
// `list_font` (the item list), `desc_font` (the summary's description), `favo_font` (the
// favourites tree) and `opml_font` (the channel tree). A missing section is written with its
// default: "MS UI Gothic", weight 400, charset 1 (the system's), quality 3, height -18 for the
// description and -12 for the others. The options dialog stores the same defaults when asked
// to, and announces a changed font to the window with message 0x4D0 and the section name.
//
// Reads and writes setup.ini in the working folder; any thread (the profile lock serialises).
#ifndef KORVO_BROWSE_BROWSE_FONTS_H_
#define KORVO_BROWSE_BROWSE_FONTS_H_

#include <string>
#include <string_view>

#include "shell/general_settings.h"

namespace korvo {

inline constexpr char kListFontSection[] = "list_font";
inline constexpr char kDescFontSection[] = "desc_font";
inline constexpr char kFavouritesFontSection[] = "favo_font";
inline constexpr char kChannelsFontSection[] = "opml_font";

// The default font of `section` (one of the four above).
TitleFont DefaultBrowseFont(std::string_view section);

// The font stored in `section` of `folder`/setup.ini; a missing section is written with the
// default first.
TitleFont LoadBrowseFont(const std::string& folder, std::string_view section);
// Stores `font` in `section`; false when setup.ini could not be written.
bool SaveBrowseFont(const std::string& folder, std::string_view section, const TitleFont& font);

// The list rows' height for a font: |font height| x 30 / 20.
int ListRowHeight(int font_height);

}  // namespace korvo

#endif  // KORVO_BROWSE_BROWSE_FONTS_H_

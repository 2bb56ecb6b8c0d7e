// A LOGFONT kept in a setup.ini section, one key per field: "FaceName" (text, at most 31 bytes),
// "CharSet", "ClipPrecision", "Escapement", "Height", "Italic", "Orientation", "OutPrecision",
// "PitchAndFamily", "Quality", "StrikeOut", "Underline", "Weight", "Width" (integers, default 0).
// Used for `titlefont` (the ticker) and the browse window's `list_font`, `desc_font`,
// `favo_font` and `opml_font`.
#ifndef KORVO_SHELL_FONT_SECTION_H_
#define KORVO_SHELL_FONT_SECTION_H_

#include <string_view>

#include "shell/general_settings.h"
#include "shell/profile_file.h"

namespace korvo {

TitleFont ReadFontSection(const ProfileFile& ini, std::string_view section);
// Writes every field ("%d"; the face as it is).
void WriteFontSection(ProfileFile* ini, std::string_view section, const TitleFont& font);
// True when the section holds a face name or a height: a font was stored there.
bool HasFontSection(const ProfileFile& ini, std::string_view section);

}  // namespace korvo

#endif  // KORVO_SHELL_FONT_SECTION_H_

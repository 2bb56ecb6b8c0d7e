#include "shell/font_section.h"

namespace korvo {

TitleFont ReadFontSection(const ProfileFile& ini, std::string_view section) {
  TitleFont f;
  f.face_name = ini.GetString(section, "FaceName", "", kFaceNameSize);
  const auto byte = [&ini, section](const char* key) {
    return static_cast<uint8_t>(ini.GetUnsigned(section, key, 0));
  };
  f.char_set = byte("CharSet");
  f.clip_precision = byte("ClipPrecision");
  f.escapement = ini.GetInt(section, "Escapement", 0);
  f.height = ini.GetInt(section, "Height", 0);
  f.italic = byte("Italic");
  f.orientation = ini.GetInt(section, "Orientation", 0);
  f.out_precision = byte("OutPrecision");
  f.pitch_and_family = byte("PitchAndFamily");
  f.quality = byte("Quality");
  f.strike_out = byte("StrikeOut");
  f.underline = byte("Underline");
  f.weight = ini.GetInt(section, "Weight", 0);
  f.width = ini.GetInt(section, "Width", 0);
  return f;
}

void WriteFontSection(ProfileFile* ini, std::string_view section, const TitleFont& f) {
  ini->PutString(section, "FaceName", f.face_name);
  ini->PutInt(section, "CharSet", f.char_set);
  ini->PutInt(section, "ClipPrecision", f.clip_precision);
  ini->PutInt(section, "Escapement", f.escapement);
  ini->PutInt(section, "Height", f.height);
  ini->PutInt(section, "Italic", f.italic);
  ini->PutInt(section, "Orientation", f.orientation);
  ini->PutInt(section, "OutPrecision", f.out_precision);
  ini->PutInt(section, "PitchAndFamily", f.pitch_and_family);
  ini->PutInt(section, "Quality", f.quality);
  ini->PutInt(section, "StrikeOut", f.strike_out);
  ini->PutInt(section, "Underline", f.underline);
  ini->PutInt(section, "Weight", f.weight);
  ini->PutInt(section, "Width", f.width);
}

bool HasFontSection(const ProfileFile& ini, std::string_view section) {
  return ini.Has(section, "FaceName") || ini.Has(section, "Height");
}

}  // namespace korvo

#include "ticker/win/headline_font.h"

#include <cwchar>

#include "ticker/headline_layout.h"
#include "ticker/win/wide_text.h"

namespace korvo {

namespace {

LOGFONTW ToLogFont(const HeadlineFontChoice& def) {
  LOGFONTW font = {};
  font.lfHeight = -def.height;  // the character height in pixels
  font.lfWeight = def.weight;
  font.lfItalic = def.italic ? TRUE : FALSE;
  font.lfUnderline = def.underline ? TRUE : FALSE;
  font.lfStrikeOut = def.strike_out ? TRUE : FALSE;
  font.lfCharSet = def.char_set;
  font.lfQuality = def.quality;
  font.lfPitchAndFamily = def.pitch_and_family;
  const std::wstring face = WideText(def.face);
  wcsncpy(font.lfFaceName, face.c_str(), LF_FACESIZE - 1);
  return font;
}

}  // namespace

HFONT CreateHeadlineFont(const HeadlineStyle& style, int height) {
  const HeadlineFontChoice def = HeadlineFont(style, height);
  LOGFONTW font = ToLogFont(def);
  HFONT handle = CreateFontIndirectW(&font);
  if (handle == nullptr) {
    font = ToLogFont(FallbackFont(def));
    handle = CreateFontIndirectW(&font);
  }
  return handle;
}

}  // namespace korvo

#include "ticker/win/headline_font.h"

#include <cwchar>

#include "ticker/headline_layout.h"
#include "ticker/win/wide_text.h"

namespace korvo {

namespace {

LOGFONTW ToLogFont(const HeadlineFontSpec& spec) {
  LOGFONTW font = {};
  font.lfHeight = -spec.height;  // the character height in pixels
  font.lfWeight = spec.weight;
  font.lfItalic = spec.italic ? TRUE : FALSE;
  font.lfUnderline = spec.underline ? TRUE : FALSE;
  font.lfStrikeOut = spec.strike_out ? TRUE : FALSE;
  font.lfCharSet = spec.char_set;
  font.lfQuality = spec.quality;
  font.lfPitchAndFamily = spec.pitch_and_family;
  const std::wstring face = WideText(spec.face);
  wcsncpy(font.lfFaceName, face.c_str(), LF_FACESIZE - 1);
  return font;
}

}  // namespace

HFONT CreateHeadlineFont(const HeadlineStyle& style, int height) {
  const HeadlineFontSpec spec = HeadlineFont(style, height);
  LOGFONTW font = ToLogFont(spec);
  HFONT handle = CreateFontIndirectW(&font);
  if (handle == nullptr) {
    font = ToLogFont(FallbackFont(spec));
    handle = CreateFontIndirectW(&font);
  }
  return handle;
}

}  // namespace korvo

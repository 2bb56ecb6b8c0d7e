// The general settings record as 3000 raw bytes: the layout of the legacy file "eboard".
// Every field is little-endian at a fixed offset; unnamed bytes are 0.
//
//   offset  size  field
//        0    44  WINDOWPLACEMENT: length, flags, show command (u32 each), min x/y, max x/y,
//                 normal left/top/right/bottom (i32 each)
//       44     4  ticker width (i32)          48  4  ticker height (i32)
//       52     4  x spacing (i32)             56  4  y spacing (i32)
//       60     2  font size (u16)             62  2  scroll speed (u16)
//       64     4  colour of new headlines     68  4  general flags (u32)
//       72   260  skin name (CP932, NUL-terminated)
//      332     4  colour of read headlines   336  4  colour of old headlines
//      340     4  tooltip lines (u32)        344  4  multi-monitor (i32)
//      348    60  LOGFONTA: height, width, escapement, orientation, weight (i32 each), italic,
//                 underline, strike-out, char set, out precision, clip precision, quality,
//                 pitch and family (u8 each), face name (32 bytes)
//      408     4  anti-aliasing (i32)        412  4  font overrides the skin (i32)
//      416     4  back colour overrides the skin (i32)   420  4  back colour
//      424     1  transparency (u8), then 3 bytes of padding
//      428     8  system major, minor version (u32 each)
//      436  2048  external browser path (CP932, NUL-terminated)
//     2484   512  external browser options (CP932, NUL-terminated), then 4 bytes of padding
#ifndef KORVO_SHELL_LEGACY_SETTINGS_IMAGE_H_
#define KORVO_SHELL_LEGACY_SETTINGS_IMAGE_H_

#include <array>
#include <cstddef>
#include <cstdint>

#include "shell/general_settings.h"

namespace korvo {

constexpr size_t kLegacySettingsSize = 3000;
using LegacySettingsImage = std::array<uint8_t, kLegacySettingsSize>;

// The image of `settings`. Texts longer than their field are cut (a two-byte character is never
// split) so that the NUL always fits.
LegacySettingsImage EncodeLegacySettings(const GeneralSettings& settings);

// The record in the first `size` bytes of `data`; bytes beyond `size` (up to 3000) count as 0, and
// bytes after 3000 are ignored. A text field without a NUL gives its first field size - 1 bytes.
// No value is checked or replaced here (see LoadGeneralSettings).
GeneralSettings DecodeLegacySettings(const uint8_t* data, size_t size);

}  // namespace korvo

#endif  // KORVO_SHELL_LEGACY_SETTINGS_IMAGE_H_

// SkinDefinition: what a skin's .ini file says, every key with its default. Reading only: how the
// values become sizes and rectangles is SkinLayout's (skin_layout.h), and loading the bitmaps is
// the skin window's.
//
// The file is a private-profile file in CP932 (profile_file.h). Integers are decimal, colours
// are three decimal numbers "R G B" separated by single blanks (ParseSkinColour). Texts are cut
// to their fixed sizes on a CP932 character boundary, one byte kept for the terminating NUL.
//
// Plain values; safe on any thread.
#ifndef KORVO_TICKER_SKIN_DEFINITION_H_
#define KORVO_TICKER_SKIN_DEFINITION_H_

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace korvo {

class ProfileFile;

// A colour as Windows keeps it (COLORREF): R | G << 8 | B << 16.
using SkinColour = uint32_t;

constexpr SkinColour kSkinWhite = 0xFFFFFF;
constexpr SkinColour kSkinMagenta = 0xFF00FF;  // the default colour key

// "R G B": the text is split at its first and second blank, each part read as a decimal integer
// (as the profile functions read integers) of which the low 8 bits count. A text without two
// blanks gives 0 (black).
SkinColour ParseSkinColour(std::string_view text);

// Sizes of the fixed text fields, terminating NUL included.
constexpr size_t kSkinFaceNameSize = 32;
constexpr size_t kSkinLongTextSize = 1024;  // plugin_path, a button's param and tooltip

// Buttons are read from "btn0", "btn1", ... up to this many.
constexpr int kMaxSkinButtons = 16;

// One "btn%d" section. -1 is the "not given" value of every number.
struct SkinButtonDefinition {
  int number = 0;  // N of the section "btnN"; the button's control id is 300 + N
  int x = -1;      // xpos: negative counts from the face's right edge
  int y = -1;      // ypos: negative counts from the bottom edge
  int action = -1;
  int width = -1;
  int height = -1;
  int btnx = -1;  // images in btn_bitmap.btn; -1: the fixed layout
  int btny = -1;
  int maskx = -1;  // masks; -1: none
  int masky = -1;
  int anime = -1;       // kept; nothing plays it
  std::string param;    // action 16's link
  std::string tooltip;  // CP932
};

struct SkinDefinition {
  // [newsbox]
  int box_x = 0;
  int box_y = 0;
  int box_width = 200;
  int box_height = 20;
  bool bold_off = false;
  int scroll = 0;  // display effect
  int hold_time = 4000;
  int add_desc = 0;
  bool box_transparent = false;

  // [skininfo]
  int face_width = 0;  // 0 in either: the bitmap's size
  int face_height = 0;
  int new_number = 0;
  int read_number = 0;
  int old_number = 0;
  int idle_number = -1;
  int end_number = -1;
  int fade_in_number = -1;
  int fade_out_number = -1;
  int variable_size = 0;  // 0 both, 1 width only, 2 height only, other none
  int stretch_x_st = 0;
  int stretch_x_end = 0;
  int stretch_y_st = 0;
  int stretch_y_end = 0;
  int grip_x = 5;
  int grip_y = 5;
  bool no_change_width = false;
  bool no_change_height = false;
  int backcolor_x = 0;  // defaults: the news box
  int backcolor_y = 0;
  int backcolor_width = 200;
  int backcolor_height = 20;
  SkinColour colour_key = kSkinMagenta;
  SkinColour new_colour = kSkinWhite;
  SkinColour read_colour = kSkinWhite;
  SkinColour old_colour = kSkinWhite;
  std::string font_name;
  bool antialias = false;

  // [animeinfo]
  int interval = 500;
  int anime_x = 0;
  int anime_y = 0;
  int anime_width = 0;
  int anime_height = 0;

  // [site_info]
  SkinColour site_colour = kSkinWhite;
  std::string site_font_name;
  int site_x = 0;
  int site_y = 0;
  int site_width = 0;  // 0: no site name
  int site_height = 0;
  bool site_bold_off = false;

  // [desc_info]
  std::string desc_font_name;
  SkinColour desc_colour = kSkinWhite;
  int desc_x = 0;
  int desc_y = 0;
  int desc_width = 0;  // 0: no description
  int desc_height = 0;
  bool desc_bold_off = false;
  int desc_font_size = 0;

  // [icon_info]
  bool icon = false;
  bool blend = false;
  int icon_x = 0;
  int icon_y = 0;
  int icon_width = 0;
  int icon_height = 0;

  // [button_info]
  int button_width = 0;  // either 0: no buttons
  int button_height = 0;
  bool button_transparent = false;

  // [plugin_info]
  int plugin_x = 0;
  int plugin_y = 0;
  int plugin_width = 0;
  int plugin_height = 0;
  int plugin_flag = 0;
  std::string plugin_path;

  bool has_buttons() const { return button_width != 0 && button_height != 0; }
  bool has_animated_area() const { return anime_width != 0 && anime_height != 0; }
};

// Every key of the skin file `ini` with its default.
SkinDefinition ReadSkinDefinition(const ProfileFile& ini);

// The "btn%d" sections from 0 upwards; reading stops at the first section that lacks `xpos`,
// `ypos` or `action`, or after kMaxSkinButtons.
std::vector<SkinButtonDefinition> ReadSkinButtons(const ProfileFile& ini);

}  // namespace korvo

#endif  // KORVO_TICKER_SKIN_DEFINITION_H_

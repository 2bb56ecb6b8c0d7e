#include "ticker/skin_definition.h"

#include <string>

#include "shell/profile_file.h"

namespace korvo {

SkinColour ParseSkinColour(std::string_view text) {
  const size_t first = text.find(' ');
  if (first == std::string_view::npos) return 0;
  const size_t second = text.find(' ', first + 1);
  if (second == std::string_view::npos) return 0;
  const auto part = [](std::string_view t) {
    return static_cast<uint32_t>(ParseProfileInt(t, 0)) & 0xFF;
  };
  return part(text.substr(0, first)) | part(text.substr(first + 1, second - first - 1)) << 8 |
         part(text.substr(second + 1)) << 16;
}

namespace {

// Reads one section's keys with the defaults already in the fields.
class SectionReader {
 public:
  SectionReader(const ProfileFile& ini, std::string_view section) : ini_(ini), section_(section) {}

  void Int(std::string_view key, int* value) const { *value = ini_.GetInt(section_, key, *value); }
  void Flag(std::string_view key, bool* value) const {
    *value = ini_.GetInt(section_, key, *value ? 1 : 0) != 0;
  }
  void Colour(std::string_view key, SkinColour* value) const {
    if (ini_.Has(section_, key)) *value = ParseSkinColour(ini_.GetString(section_, key, ""));
  }
  void Text(std::string_view key, size_t size, std::string* value) const {
    *value = ini_.GetString(section_, key, "", size);
  }

 private:
  const ProfileFile& ini_;
  std::string_view section_;
};

}  // namespace

SkinDefinition ReadSkinDefinition(const ProfileFile& ini) {
  SkinDefinition s;
  const SectionReader box(ini, "newsbox");
  box.Int("x", &s.box_x);
  box.Int("y", &s.box_y);
  box.Int("width", &s.box_width);
  box.Int("height", &s.box_height);
  box.Flag("bold_off", &s.bold_off);
  box.Int("scroll", &s.scroll);
  box.Int("hold_time", &s.hold_time);
  box.Int("add_desc", &s.add_desc);
  box.Flag("transparent", &s.box_transparent);

  const SectionReader info(ini, "skininfo");
  info.Int("width", &s.face_width);
  info.Int("height", &s.face_height);
  info.Int("new_number", &s.new_number);
  info.Int("read_number", &s.read_number);
  info.Int("old_number", &s.old_number);
  info.Int("idle_number", &s.idle_number);
  info.Int("end_number", &s.end_number);
  info.Int("fade_in_number", &s.fade_in_number);
  info.Int("fade_out_number", &s.fade_out_number);
  info.Int("variable_size", &s.variable_size);
  info.Int("stretch_x_st", &s.stretch_x_st);
  info.Int("stretch_x_end", &s.stretch_x_end);
  info.Int("stretch_y_st", &s.stretch_y_st);
  info.Int("stretch_y_end", &s.stretch_y_end);
  info.Int("grip_x", &s.grip_x);
  info.Int("grip_y", &s.grip_y);
  info.Flag("no_change_width", &s.no_change_width);
  info.Flag("no_change_height", &s.no_change_height);
  // The painted-over rectangle defaults to the news box as the file gives it.
  s.backcolor_x = s.box_x;
  s.backcolor_y = s.box_y;
  s.backcolor_width = s.box_width;
  s.backcolor_height = s.box_height;
  info.Int("backcolor_x", &s.backcolor_x);
  info.Int("backcolor_y", &s.backcolor_y);
  info.Int("backcolor_width", &s.backcolor_width);
  info.Int("backcolor_height", &s.backcolor_height);
  info.Colour("colorkey", &s.colour_key);
  info.Colour("new_color", &s.new_colour);
  info.Colour("read_color", &s.read_colour);
  info.Colour("old_color", &s.old_colour);
  info.Text("font_name", kSkinFaceNameSize, &s.font_name);
  info.Flag("antialias", &s.antialias);

  const SectionReader anime(ini, "animeinfo");
  anime.Int("interval", &s.interval);
  anime.Int("anime_x_pos", &s.anime_x);
  anime.Int("anime_y_pos", &s.anime_y);
  anime.Int("anime_width", &s.anime_width);
  anime.Int("anime_height", &s.anime_height);

  const SectionReader site(ini, "site_info");
  site.Colour("site_color", &s.site_colour);
  site.Text("font_name", kSkinFaceNameSize, &s.site_font_name);
  site.Int("site_x_pos", &s.site_x);
  site.Int("site_y_pos", &s.site_y);
  site.Int("site_width", &s.site_width);
  site.Int("site_height", &s.site_height);
  site.Flag("site_bold_off", &s.site_bold_off);

  const SectionReader desc(ini, "desc_info");
  desc.Text("font_name", kSkinFaceNameSize, &s.desc_font_name);
  desc.Colour("desc_color", &s.desc_colour);
  desc.Int("desc_x_pos", &s.desc_x);
  desc.Int("desc_y_pos", &s.desc_y);
  desc.Int("desc_width", &s.desc_width);
  desc.Int("desc_height", &s.desc_height);
  desc.Flag("desc_bold_off", &s.desc_bold_off);
  desc.Int("desc_font_size", &s.desc_font_size);

  const SectionReader icon(ini, "icon_info");
  icon.Flag("icon", &s.icon);
  icon.Flag("blend", &s.blend);
  icon.Int("icon_x_pos", &s.icon_x);
  icon.Int("icon_y_pos", &s.icon_y);
  icon.Int("icon_width", &s.icon_width);
  icon.Int("icon_height", &s.icon_height);

  const SectionReader button(ini, "button_info");
  button.Int("width", &s.button_width);
  button.Int("height", &s.button_height);
  button.Flag("transparent", &s.button_transparent);

  const SectionReader plugin(ini, "plugin_info");
  plugin.Int("x_pos", &s.plugin_x);
  plugin.Int("y_pos", &s.plugin_y);
  plugin.Int("width", &s.plugin_width);
  plugin.Int("height", &s.plugin_height);
  plugin.Int("flag", &s.plugin_flag);
  plugin.Text("plugin_path", kSkinLongTextSize, &s.plugin_path);
  return s;
}

std::vector<SkinButtonDefinition> ReadSkinButtons(const ProfileFile& ini) {
  std::vector<SkinButtonDefinition> buttons;
  for (int n = 0; n < kMaxSkinButtons; ++n) {
    const std::string section = "btn" + std::to_string(n);
    if (!ini.Has(section, "xpos") || !ini.Has(section, "ypos") || !ini.Has(section, "action")) {
      break;
    }
    SkinButtonDefinition b;
    b.number = n;
    const SectionReader r(ini, section);
    r.Int("xpos", &b.x);
    r.Int("ypos", &b.y);
    r.Int("action", &b.action);
    r.Int("width", &b.width);
    r.Int("height", &b.height);
    r.Int("btnx", &b.btnx);
    r.Int("btny", &b.btny);
    r.Int("maskx", &b.maskx);
    r.Int("masky", &b.masky);
    r.Int("anime", &b.anime);
    r.Text("param", kSkinLongTextSize, &b.param);
    r.Text("tooltip", kSkinLongTextSize, &b.tooltip);
    buttons.push_back(std::move(b));
  }
  return buttons;
}

}  // namespace korvo

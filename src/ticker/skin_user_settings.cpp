#include "ticker/skin_user_settings.h"

#include "platform/code_page.h"
#include "shell/profile_file.h"

namespace korvo {

namespace {

bool Change(const std::string& path, const std::string& skin_name,
            bool (*change)(ProfileFile&, const std::u16string&, int, int), int a, int b) {
  if (skin_name.empty()) return false;
  ProfileFileLock lock;
  ProfileFile file;
  if (!file.Load(path, ProfileEncoding::kUtf16Le)) return false;
  if (!change(file, platform::Cp932ToUtf16(skin_name), a, b)) return false;
  return file.Save();
}

}  // namespace

SkinUserSettings ReadSkinUserSettings(const std::string& path, const std::string& skin_name) {
  SkinUserSettings s;
  if (skin_name.empty()) return s;
  ProfileFileLock lock;
  ProfileFile file;
  if (!file.Load(path, ProfileEncoding::kUtf16Le)) return s;
  const std::u16string section = platform::Cp932ToUtf16(skin_name);
  s.width = file.GetInt(section, u"width", s.width);
  s.height = file.GetInt(section, u"height", s.height);
  s.scroll = file.GetInt(section, u"scroll", s.scroll);
  s.hold_time = file.GetInt(section, u"hold_time", s.hold_time);
  return s;
}

bool SaveSkinUserSize(const std::string& path, const std::string& skin_name, int width,
                      int height) {
  return Change(
      path, skin_name,
      [](ProfileFile& f, const std::u16string& section, int w, int h) {
        return f.PutInt(section, u"width", w) && f.PutInt(section, u"height", h);
      },
      width, height);
}

bool SaveSkinUserEffect(const std::string& path, const std::string& skin_name, int scroll,
                        int hold_time) {
  return Change(
      path, skin_name,
      [](ProfileFile& f, const std::u16string& section, int s, int h) {
        return f.PutInt(section, u"scroll", s) && f.PutInt(section, u"hold_time", h);
      },
      scroll, hold_time);
}

bool RemoveSkinUserSettings(const std::string& path, const std::string& skin_name) {
  return Change(
      path, skin_name,
      [](ProfileFile& f, const std::u16string& section, int, int) {
        f.RemoveSection(section);
        return true;
      },
      0, 0);
}

}  // namespace korvo

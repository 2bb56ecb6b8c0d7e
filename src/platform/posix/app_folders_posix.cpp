#include <cstdlib>
#include <cstring>

#include "platform/app_folders.h"

namespace korvo::platform {

namespace {

std::string Env(const char* name) {
  const char* v = std::getenv(name);
  return v ? std::string(v) : std::string();
}

}  // namespace

std::string ApplicationDataFolder() {
  if (const char* v = std::getenv("KORVO_APPDATA")) return v;
  const std::string xdg = Env("XDG_CONFIG_HOME");
  if (!xdg.empty()) return xdg;
  const std::string home = Env("HOME");
  return home.empty() ? std::string() : home + "/.config";
}

std::string PictureFolder() {
  const std::string home = Env("HOME");
  return home.empty() ? std::string() : home + "/Pictures";
}

int SystemDefaultLanguage() {
  const std::string forced = Env("KORVO_LANGID");
  if (!forced.empty()) return std::atoi(forced.c_str());
  for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
    const std::string v = Env(name);
    if (!v.empty()) return v.compare(0, 2, "ja") == 0 ? 1041 : 1033;
  }
  return 1033;
}

}  // namespace korvo::platform

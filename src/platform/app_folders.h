// Per-user folders of the desktop.
#ifndef KORVO_PLATFORM_APP_FOLDERS_H_
#define KORVO_PLATFORM_APP_FOLDERS_H_

#include <string>

namespace korvo::platform {

// The per-user application-data folder (Windows: CSIDL_APPDATA; POSIX: $XDG_CONFIG_HOME, else
// $HOME/.config). UTF-8; empty when there is none. KORVO_APPDATA in the environment overrides
// it on every OS, so tests can point it at a temporary folder or at nothing ("" means none).
std::string ApplicationDataFolder();

// The user's picture folder (Windows: CSIDL_MYPICTURES; POSIX: $HOME/Pictures); empty when none.
std::string PictureFolder();

// The language of the system: a Windows LANGID (1041 Japanese, 1033 English US, ...).
// POSIX: from LC_ALL / LC_MESSAGES / LANG ("ja..." gives 1041, anything else 1033).
// KORVO_LANGID in the environment overrides it.
int SystemDefaultLanguage();

}  // namespace korvo::platform

#endif  // KORVO_PLATFORM_APP_FOLDERS_H_

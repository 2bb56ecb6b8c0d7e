#include <windows.h>
#include <shlobj.h>

#include <cstdlib>
#include <string>

#include "platform/app_folders.h"
#include "platform/win/wide_path.h"

namespace korvo::platform {

namespace {

// The environment variable as UTF-8; false when it is not set.
bool EnvUtf8(const wchar_t* name, std::string* value) {
  const DWORD needed = GetEnvironmentVariableW(name, nullptr, 0);
  if (needed == 0) {
    if (GetLastError() == ERROR_ENVVAR_NOT_FOUND) return false;
    value->clear();  // set but empty
    return true;
  }
  std::wstring v(needed, L'\0');
  const DWORD written = GetEnvironmentVariableW(name, v.data(), needed);
  v.resize(written < needed ? written : 0);
  *value = Utf8Path(v);
  return true;
}

std::string ShellFolder(int csidl) {
  wchar_t buffer[MAX_PATH];
  if (FAILED(SHGetFolderPathW(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, buffer))) {
    return std::string();
  }
  return Utf8Path(buffer);
}

}  // namespace

std::string ApplicationDataFolder() {
  std::string forced;
  if (EnvUtf8(L"KORVO_APPDATA", &forced)) return forced;
  return ShellFolder(CSIDL_APPDATA);
}

std::string PictureFolder() { return ShellFolder(CSIDL_MYPICTURES); }

int SystemDefaultLanguage() {
  std::string forced;
  if (EnvUtf8(L"KORVO_LANGID", &forced) && !forced.empty()) return std::atoi(forced.c_str());
  return static_cast<int>(GetSystemDefaultLangID());
}

}  // namespace korvo::platform

#include <sys/stat.h>

#include <algorithm>

#include "platform/user_protection.h"

namespace korvo::platform {

bool HasUserProtection() { return false; }

bool ProtectForUser(std::string_view, std::string_view, std::string*) { return false; }

bool UnprotectForUser(std::string_view, std::string_view, std::string*) { return false; }

bool RestrictFileToOwner(const std::string& path) {
  std::string native = path;
  std::replace(native.begin(), native.end(), '\\', '/');
  return ::chmod(native.c_str(), S_IRUSR | S_IWUSR) == 0;
}

}  // namespace korvo::platform

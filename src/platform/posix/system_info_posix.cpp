#include <sys/utsname.h>
#include <unistd.h>

#include <cstdlib>

#include "platform/system_info.h"

namespace korvo::platform {

SystemVersion OperatingSystemVersion() {
  SystemVersion version;
  struct utsname names;
  if (::uname(&names) != 0) return version;
  // "6.1.0-18-amd64": major, '.', minor, anything.
  char* end = nullptr;
  version.major = static_cast<uint32_t>(std::strtoul(names.release, &end, 10));
  if (end != nullptr && *end == '.') {
    version.minor = static_cast<uint32_t>(std::strtoul(end + 1, nullptr, 10));
  }
  return version;
}

uint32_t CurrentProcessId() { return static_cast<uint32_t>(::getpid()); }

}  // namespace korvo::platform

#include <windows.h>

#include "platform/system_info.h"

namespace korvo::platform {

SystemVersion OperatingSystemVersion() {
  OSVERSIONINFOW info{};
  info.dwOSVersionInfoSize = sizeof info;
#ifdef _MSC_VER
#pragma warning(suppress : 4996)  // GetVersionExW is what the program is meant to see
#endif
  if (!GetVersionExW(&info)) return SystemVersion{};
  return SystemVersion{info.dwMajorVersion, info.dwMinorVersion};
}

uint32_t CurrentProcessId() { return GetCurrentProcessId(); }

}  // namespace korvo::platform

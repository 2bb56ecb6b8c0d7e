// Facts about the running system.
#ifndef KORVO_PLATFORM_SYSTEM_INFO_H_
#define KORVO_PLATFORM_SYSTEM_INFO_H_

#include <cstdint>

namespace korvo::platform {

struct SystemVersion {
  uint32_t major = 0;
  uint32_t minor = 0;
};

// The operating system's version as a program sees it. Windows: GetVersionEx (5.0 Windows 2000,
// 5.1 XP, 6.1 Windows 7; a program without a compatibility manifest sees at most 6.2). POSIX: the
// first two numbers of the kernel release (uname), 0.0 when it cannot be read. Thread-safe.
SystemVersion OperatingSystemVersion();

// The running process's id (POSIX getpid, Windows GetCurrentProcessId). Thread-safe.
uint32_t CurrentProcessId();

}  // namespace korvo::platform

#endif  // KORVO_PLATFORM_SYSTEM_INFO_H_

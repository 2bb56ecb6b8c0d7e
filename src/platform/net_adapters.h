// The hardware addresses of the machine's network adapters.
#ifndef KORVO_PLATFORM_NET_ADAPTERS_H_
#define KORVO_PLATFORM_NET_ADAPTERS_H_

#include <cstddef>
#include <string>
#include <vector>

namespace korvo::platform {

// Up to `max_count` six-byte hardware (MAC) addresses, in the order of the adapters' names so
// that the result stays the same from run to run (Windows: GetAdaptersInfo; POSIX: the
// interfaces under /sys/class/net). Loopback and all-zero addresses are left out. Empty when
// they cannot be read. Thread-safe.
std::vector<std::string> NetworkHardwareAddresses(size_t max_count);

}  // namespace korvo::platform

#endif  // KORVO_PLATFORM_NET_ADAPTERS_H_

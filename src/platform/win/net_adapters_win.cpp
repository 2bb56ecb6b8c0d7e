// The system headers need this order.
// clang-format off
#include <winsock2.h>
#include <windows.h>
#include <iphlpapi.h>
// clang-format on

#include <algorithm>
#include <utility>
#include <vector>

#include "platform/net_adapters.h"

namespace korvo::platform {

std::vector<std::string> NetworkHardwareAddresses(size_t max_count) {
  std::vector<std::string> result;
  ULONG size = 0;
  if (GetAdaptersInfo(nullptr, &size) != ERROR_BUFFER_OVERFLOW || size == 0) return result;
  std::vector<unsigned char> buffer(size);
  auto* first = reinterpret_cast<IP_ADAPTER_INFO*>(buffer.data());
  if (GetAdaptersInfo(first, &size) != NO_ERROR) return result;
  std::vector<std::pair<std::string, std::string>> named;  // adapter name, address
  for (const IP_ADAPTER_INFO* a = first; a != nullptr; a = a->Next) {
    if (a->AddressLength != 6 || a->Type == MIB_IF_TYPE_LOOPBACK) continue;
    const std::string address(reinterpret_cast<const char*>(a->Address), 6);
    if (address == std::string(6, '\0')) continue;
    named.emplace_back(a->AdapterName, address);
  }
  std::sort(named.begin(), named.end());
  for (const auto& [name, address] : named) {
    if (result.size() >= max_count) break;
    result.push_back(address);
  }
  return result;
}

}  // namespace korvo::platform

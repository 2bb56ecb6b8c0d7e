// Protection of small secrets (the credentials file) for the current user.
//
// Windows seals data with DPAPI (CryptProtectData): only the same user, normally on the same
// machine, can unseal it. POSIX has no such service everywhere; there HasUserProtection() is
// false, sealing fails, and the caller protects the file by its permissions instead
// (RestrictFileToOwner). Every function is thread-safe.
#ifndef KORVO_PLATFORM_USER_PROTECTION_H_
#define KORVO_PLATFORM_USER_PROTECTION_H_

#include <string>
#include <string_view>

namespace korvo::platform {

bool HasUserProtection();

// Seals `plain`; `entropy` must be given again to unseal. False when there is no protection or
// it failed.
bool ProtectForUser(std::string_view plain, std::string_view entropy, std::string* sealed);
// False when `sealed` was not sealed by this user with this entropy, or is damaged.
bool UnprotectForUser(std::string_view sealed, std::string_view entropy, std::string* plain);

// POSIX: read and write for the owner only (mode 0600). Windows: nothing to do (the file keeps
// the access rules of its folder; its secrets are sealed) and true.
bool RestrictFileToOwner(const std::string& path);

}  // namespace korvo::platform

#endif  // KORVO_PLATFORM_USER_PROTECTION_H_

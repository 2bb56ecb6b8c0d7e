// DPAPI for the current user, without any prompt.
// The system headers need this order.
// clang-format off
#include <windows.h>
#include <wincrypt.h>
// clang-format on

#include "platform/user_protection.h"

namespace korvo::platform {

namespace {

DATA_BLOB Blob(std::string_view data) {
  DATA_BLOB b;
  b.cbData = static_cast<DWORD>(data.size());
  b.pbData = reinterpret_cast<BYTE*>(const_cast<char*>(data.data()));
  return b;
}

// Frees a blob that DPAPI allocated.
struct LocalBlob {
  DATA_BLOB blob{0, nullptr};
  ~LocalBlob() {
    if (blob.pbData != nullptr) {
      SecureZeroMemory(blob.pbData, blob.cbData);
      LocalFree(blob.pbData);
    }
  }
};

}  // namespace

bool HasUserProtection() { return true; }

bool ProtectForUser(std::string_view plain, std::string_view entropy, std::string* sealed) {
  if (plain.size() > 0x7FFFFFFF || entropy.size() > 0x7FFFFFFF) return false;
  DATA_BLOB in = Blob(plain);
  DATA_BLOB salt = Blob(entropy);
  LocalBlob out;
  if (!CryptProtectData(&in, L"korvo", &salt, nullptr, nullptr, CRYPTPROTECT_UI_FORBIDDEN,
                        &out.blob)) {
    return false;
  }
  sealed->assign(reinterpret_cast<const char*>(out.blob.pbData), out.blob.cbData);
  return true;
}

bool UnprotectForUser(std::string_view sealed, std::string_view entropy, std::string* plain) {
  if (sealed.empty() || sealed.size() > 0x7FFFFFFF || entropy.size() > 0x7FFFFFFF) return false;
  DATA_BLOB in = Blob(sealed);
  DATA_BLOB salt = Blob(entropy);
  LocalBlob out;
  if (!CryptUnprotectData(&in, nullptr, &salt, nullptr, nullptr, CRYPTPROTECT_UI_FORBIDDEN,
                          &out.blob)) {
    return false;
  }
  plain->assign(reinterpret_cast<const char*>(out.blob.pbData), out.blob.cbData);
  return true;
}

bool RestrictFileToOwner(const std::string&) { return true; }

}  // namespace korvo::platform

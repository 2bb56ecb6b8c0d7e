#include "fetch/credentials.h"

#include <random>

#include "fetch/base64.h"
#include "fetch/chacha20.h"
#include "fetch/feed_cache.h"
#include "platform/files.h"
#include "platform/net_adapters.h"
#include "platform/user_protection.h"

namespace korvo {

namespace {

constexpr size_t kSaltSize = 16;
constexpr char kCheck[] = "KORVOPW1";
constexpr size_t kCheckSize = 8;
constexpr char kListHead[] = "*";
// Key material; any change makes existing files unreadable.
constexpr char kKey0[] = "KorvoNewsReader credentials, key of format 0 :-)";
constexpr char kKey1[] = "KorvoNewsReader credentials, base of format 1 ;)";
static_assert(sizeof kKey0 == 49 && sizeof kKey1 == 49, "keys are 48 bytes");
constexpr char kEntropy[] = "KorvoNewsReader password";

void PutU32(std::string* out, uint32_t v) {
  for (int i = 0; i < 4; ++i) out->push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
}

uint32_t GetU32(std::string_view s, size_t at) {
  uint32_t v = 0;
  for (int i = 0; i < 4; ++i)
    v |= static_cast<uint32_t>(static_cast<unsigned char>(s[at + i])) << (8 * i);
  return v;
}

std::string KeyFor(uint32_t format) {
  std::string key(kKey0, 48);
  if (format == 1) {
    const std::vector<std::string> addresses = platform::NetworkHardwareAddresses(3);
    if (!addresses.empty()) {
      key.assign(kKey1, 48);
      for (size_t i = 0; i < addresses.size(); ++i) {
        for (size_t j = 0; j < addresses[i].size() && j < 16; ++j)
          key[16 * i + j] ^= addresses[i][j];
      }
    }
  }
  return key;
}

void Encipher(const std::string& key48, std::string_view salt, std::string* data) {
  std::string nonce = key48.substr(32, 12);
  for (size_t i = 0; i < 12; ++i) nonce[i] ^= salt[i];
  const uint32_t counter = GetU32(key48, 44) ^ GetU32(salt, 12);
  ChaCha20Xor(std::string_view(key48).substr(0, 32), nonce, counter, data);
}

std::string Sequence(const std::vector<Credential>& entries) {
  std::string s;
  s += kListHead;
  s.append(3, '\0');  // the head's terminator, then its empty user name and password
  for (const Credential& c : entries) {
    for (const std::string* text : {&c.url_text, &c.user, &c.password}) {
      s += *text;
      s += '\0';
    }
  }
  s += '\0';
  return s;
}

// Reads one NUL-terminated text at `*at`; false when no terminator follows.
bool NextText(std::string_view data, size_t* at, std::string* text) {
  const size_t end = data.find('\0', *at);
  if (end == std::string_view::npos) return false;
  text->assign(data.substr(*at, end - *at));
  *at = end + 1;
  return true;
}

bool ParseSequence(std::string_view data, std::vector<Credential>* entries) {
  size_t at = 0;
  bool head = true;
  for (;;) {
    Credential c;
    if (!NextText(data, &at, &c.url_text)) return false;
    if (c.url_text.empty()) return true;
    if (!NextText(data, &at, &c.user) || !NextText(data, &at, &c.password)) return false;
    if (!head) entries->push_back(std::move(c));
    head = false;
  }
}

std::string RandomSalt() {
  std::random_device device;
  std::string salt;
  while (salt.size() < kSaltSize) {
    const uint32_t v = device();
    for (int i = 0; i < 4 && salt.size() < kSaltSize; ++i)
      salt.push_back(static_cast<char>(v >> (8 * i)));
  }
  return salt;
}

bool Representable(std::string_view text) { return text.find('\0') == std::string_view::npos; }

}  // namespace

std::string EncodeCredentials(const std::vector<Credential>& entries, uint32_t format,
                              std::string_view salt) {
  std::string file;
  PutU32(&file, format);
  const std::string sequence = Sequence(entries);
  if (format == 2) return file + sequence;
  if (format > 2 || salt.size() != kSaltSize) return std::string();
  if (format == 1 && platform::HasUserProtection()) {
    std::string sealed;
    if (platform::ProtectForUser(sequence, kEntropy, &sealed)) return file + sealed;
    return std::string();
  }
  std::string body = std::string(kCheck, kCheckSize) + sequence;
  Encipher(KeyFor(format), salt, &body);
  return file + std::string(salt) + body;
}

bool DecodeCredentials(std::string_view file, std::vector<Credential>* entries) {
  entries->clear();
  if (file.empty()) return true;
  if (file.size() < 4) return false;
  const uint32_t format = GetU32(file, 0);
  const std::string_view rest = file.substr(4);
  if (format == 2) return ParseSequence(rest, entries);
  if (format > 2) return false;
  if (format == 1 && platform::HasUserProtection()) {
    std::string plain;
    if (platform::UnprotectForUser(rest, kEntropy, &plain)) return ParseSequence(plain, entries);
    // Not sealed: perhaps written where sealing was not available; try the keyed cipher.
  }
  if (rest.size() < kSaltSize + kCheckSize) return false;
  const std::string_view salt = rest.substr(0, kSaltSize);
  std::string body(rest.substr(kSaltSize));
  Encipher(KeyFor(format), salt, &body);
  if (body.compare(0, kCheckSize, kCheck, kCheckSize) != 0) return false;
  return ParseSequence(std::string_view(body).substr(kCheckSize), entries);
}

bool CredentialStore::Load(const std::string& path) {
  entries_.clear();
  if (!platform::FileExists(path)) {
    // Created without truncating: a Save on another thread may have put the file in place
    // since the test above, and its entries must survive.
    platform::File created;
    if (created.Open(path, platform::File::Mode::kCreateOrOpen)) {
      created.Close();
      platform::RestrictFileToOwner(path);
    }
    if (!platform::FileExists(path)) return true;  // e.g. a read-only folder: no entries
  }
  std::string data;
  if (!platform::ReadWholeFile(path, &data, kMaxFileSize)) return false;
  return DecodeCredentials(data, &entries_);
}

bool CredentialStore::Save(const std::string& path) const { return SaveAs(path, 1); }

bool CredentialStore::SaveAs(const std::string& path, uint32_t format) const {
  const std::string data = EncodeCredentials(entries_, format, RandomSalt());
  if (data.empty()) return false;
  const size_t slash = path.find_last_of("/\\");
  const std::string folder = slash == std::string::npos ? std::string(".") : path.substr(0, slash);
  return ReplaceFileContents(folder, path, data, /*owner_only=*/true);
}

bool CredentialStore::Find(std::string_view url_text, std::string* user,
                           std::string* password) const {
  for (const Credential& c : entries_) {
    if (c.url_text == url_text) {
      *user = c.user;
      *password = c.password;
      return true;
    }
  }
  return false;
}

bool CredentialStore::Set(std::string_view url_text, std::string_view user,
                          std::string_view password) {
  if (url_text.empty() || !Representable(url_text) || !Representable(user) ||
      !Representable(password)) {
    return false;
  }
  for (Credential& c : entries_) {
    if (c.url_text == url_text) {
      c.user = std::string(user);
      c.password = std::string(password);
      return true;
    }
  }
  entries_.push_back({std::string(url_text), std::string(user), std::string(password)});
  return true;
}

bool CredentialStore::Remove(std::string_view url_text) {
  for (auto it = entries_.begin(); it != entries_.end(); ++it) {
    if (it->url_text == url_text) {
      entries_.erase(it);
      return true;
    }
  }
  return false;
}

std::string BasicAuthorization(std::string_view user, std::string_view password) {
  return "Authorization: Basic " + Base64Encode(std::string(user) + ":" + std::string(password));
}

bool LookUpCredentials(const std::string& path, std::string_view url_text, std::string* user,
                       std::string* password) {
  CredentialStore store;
  store.Load(path);
  return store.Find(url_text, user, password);
}

}  // namespace korvo

// The credentials file "password" in the working folder: user names and passwords for HTTP Basic
// authentication, keyed by a channel's whole address text.
//
// Layout: a little-endian 32-bit format word, then the entry sequence: each entry three
// NUL-terminated texts (address text, user name, password), the sequence ended by an empty text.
// The first entry is a list head ("*", "", "") and never matches. Texts are in the internal code
// page.
//   format 2: the sequence as it is.
//   format 0: a 16-byte salt, then "KORVOPW1" and the sequence enciphered with ChaCha20 under a
//             48-byte key built from a constant of the program (read only; never written).
//   format 1: written by Save. Where the OS protects secrets per user (Windows DPAPI) the rest of
//             the file is the sequence sealed by CryptProtectData. Elsewhere (POSIX) it is laid
//             out like format 0, with the key built from another constant into which the
//             hardware addresses of up to three network adapters are written (the format-0 key
//             when none can be read), and the file is made readable by its owner only: on POSIX
//             the file's permissions are the per-user protection, and the cipher keeps the
//             passwords out of plain sight and bound to the machine.
// The 48-byte key gives the ChaCha20 key (bytes 0-31), the nonce (bytes 32-43 XOR salt 0-11) and
// the first block counter (bytes 44-47 XOR salt 12-15, little-endian).
//
// A file that cannot be read back (damaged, another machine's, another user's) yields no
// entries; requests then go without credentials.
#ifndef KORVO_FETCH_CREDENTIALS_H_
#define KORVO_FETCH_CREDENTIALS_H_

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace korvo {

struct Credential {
  std::string url_text;
  std::string user;
  std::string password;
};

class CredentialStore {
 public:
  static constexpr size_t kMaxFileSize = 1 << 20;

  // Reads the file at `path` (UTF-8). A missing file is created empty and gives no entries.
  // False when the file cannot be read or understood; the store then holds the entries that
  // could be read (none for an enciphered file).
  bool Load(const std::string& path);
  // Writes every entry in format 1 (see above); false when the file could not be written, which
  // then keeps its old content.
  bool Save(const std::string& path) const;
  // Writes in the given format (0, 1 or 2); for files that other tools read and for tests.
  bool SaveAs(const std::string& path, uint32_t format) const;

  // The entry whose address text equals `url_text` byte for byte (the first one); the list head
  // never matches.
  bool Find(std::string_view url_text, std::string* user, std::string* password) const;
  // Adds or replaces the entry of `url_text`. False for texts the file cannot hold: an empty
  // address text, or a NUL inside any text.
  bool Set(std::string_view url_text, std::string_view user, std::string_view password);
  bool Remove(std::string_view url_text);
  const std::vector<Credential>& entries() const { return entries_; }

 private:
  std::vector<Credential> entries_;
};

// The request header line of HTTP Basic authentication:
// "Authorization: Basic " + Base64(user + ":" + password).
std::string BasicAuthorization(std::string_view user, std::string_view password);

// Loads the file and looks `url_text` up; false when there is no entry.
bool LookUpCredentials(const std::string& path, std::string_view url_text, std::string* user,
                       std::string* password);

// The file's bytes for `entries` in `format`, with `salt` (16 bytes) for the enciphered formats.
// Format 1 is sealed for the user where the OS can. Empty when the format is unknown or sealing
// failed.
std::string EncodeCredentials(const std::vector<Credential>& entries, uint32_t format,
                              std::string_view salt);
// Reads the bytes of a credentials file. An empty file is a valid file without entries. False
// for anything else that is not a whole, readable file; `entries` then holds the complete
// entries read before the fault.
bool DecodeCredentials(std::string_view file, std::vector<Credential>* entries);

}  // namespace korvo

#endif  // KORVO_FETCH_CREDENTIALS_H_

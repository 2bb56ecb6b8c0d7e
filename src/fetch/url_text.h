// Rules about the address texts of channels and sites (internal code page, CP932).
#ifndef KORVO_FETCH_URL_TEXT_H_
#define KORVO_FETCH_URL_TEXT_H_

#include <cstddef>
#include <string>
#include <string_view>

namespace korvo {

// The part of a channel's address text that is requested: everything before the first '['.
// (The whole text, suffix included, stays the key of the cache and the credentials.)
std::string_view RequestAddress(std::string_view url_text);

// An address beginning with "http://" or "https://" (case ignored).
bool IsWebAddress(std::string_view text);

// A local file rather than a web address: a drive letter, ':' and '\' ("C:\feeds\a.xml"), and on
// POSIX also an absolute path beginning with '/'.
bool IsLocalPath(std::string_view text);

// The address as sent: bytes the request line cannot carry (non-ASCII bytes of the internal code
// page, blanks and control characters) become %XX, the bytes themselves, on every OS alike.
std::string EscapeForRequest(std::string_view address);

// A file name in the cache folder for `text` (at most `max_text` bytes of it are used) followed
// by `suffix`: each of < > : " / \ | ? * and every control character becomes '@', and the CP932
// text becomes UTF-8. A name longer than 255 bytes (more than any file system takes) is
// shortened to its first 200 bytes, '~' and 16 hexadecimal digits of a hash of the whole name,
// so that long addresses still get a file of their own.
std::string CacheFileName(std::string_view text, size_t max_text, std::string_view suffix);

// A file name in the cache folder that no other text shares: the readable name of CacheFileName
// (at most its first 200 bytes), '~', 16 hexadecimal digits of a 64-bit hash of the whole
// `text`, then `suffix`. Texts that CacheFileName maps to one name ("/a/b.xml" and "/a@b.xml",
// texts that differ only in letter case on a case-blind file system, or only after `max_text`
// bytes) get names of their own.
std::string UniqueCacheFileName(std::string_view text, size_t max_text, std::string_view suffix);

// "scheme://host[:port]" of an address, without the path ("http://a.example/b/c" gives
// "http://a.example"). An address without "://" is cut at the first '/' after its first 7 bytes.
std::string SiteRoot(std::string_view address);

// True when both web addresses name the same host and port (letter case ignored, the scheme and
// any "user@" left out). Credentials are only sent again to the host they were given for.
bool SameHost(std::string_view a, std::string_view b);

// Whether the Basic credentials sent to `from` may be sent again to `to`, the address a request
// finally reached: only on the same host (SameHost), and never from https:// onto plain http://,
// where anyone on the way could read them.
bool MayResendCredentials(std::string_view from, std::string_view to);

// Resolves a link found on the page at `page` (http:// or https://): absolute addresses stay as
// they are, "//host/x" takes the page's scheme, "/x" replaces everything after the host, and any
// other text is appended after the last '/' of the page's path (the query left out; a '/' is
// added after a bare host).
std::string ResolveLink(std::string_view page, std::string_view href);

}  // namespace korvo

#endif  // KORVO_FETCH_URL_TEXT_H_

// ServerRequest: one request to the local server, parsed from the bytes a connection sent.
//
// The request line must begin with "GET" and a blank (after any empty lines); its target is
// every byte after the first "/" of that line up to a NUL, CR, LF or blank. The path is the
// target up to the first "?" (without the leading "/"); the rest is read as parameters: while
// bytes remain, one "&" at the current position is skipped, the key runs to the next "=" (which
// is consumed) or the end, the value to the next "&" or the end. Keys and values stay exactly as
// sent (no percent-decoding, "+" stays "+"); a key's first occurrence wins; a key without "="
// runs on to the next "=", so "a&b=2" gives one key "a&b" with the value "2".
//
// Of the header lines only the few the server's checks need are kept (the first of each name,
// names compared without case, values without surrounding blanks).
//
// Pure functions; thread-safe.
#ifndef KORVO_SERVER_SERVER_REQUEST_H_
#define KORVO_SERVER_SERVER_REQUEST_H_

#include <map>
#include <optional>
#include <string>
#include <string_view>

namespace korvo {

struct ServerRequest {
  std::string path;
  std::map<std::string, std::string> parameters;  // ordered by plain byte comparison
  int parameter_count = 0;                        // pairs read, duplicates included

  std::optional<std::string> host;
  std::optional<std::string> origin;
  std::optional<std::string> referer;
  std::optional<std::string> fetch_site;  // Sec-Fetch-Site
  // The empty line that ends the header block was received.
  bool head_complete = false;
  // Set by the server before routing: a browser marked the request as coming from a page of
  // another origin (request_origin.h). Routes that change state refuse it.
  bool cross_site = false;

  // The value of `key`, or null.
  const std::string* Parameter(std::string_view key) const;
};

// Parses `text` (the bytes received; a NUL ends it). False when the request line does not begin
// with "GET" or holds no "/": the connection is then closed without an answer.
bool ParseServerRequest(std::string_view text, ServerRequest* request);

// True when `text` holds the empty line that ends a request's header block.
bool HasCompleteHead(std::string_view text);

}  // namespace korvo

#endif  // KORVO_SERVER_SERVER_REQUEST_H_

// The framing of the local server's answers: LF line ends, no Content-Length (the answer ends
// when the connection closes), and only the status lines "HTTP/1.1 200 OK" and
// "HTTP/1.1 303 See Other".
//
// Pure functions; thread-safe.
#ifndef KORVO_SERVER_HTTP_ANSWER_H_
#define KORVO_SERVER_HTTP_ANSWER_H_

#include <string>
#include <string_view>

#include "platform/clock.h"

namespace korvo {

enum class ContentKind { kHtml, kCss, kXml };

// "Sun, 6 Nov 1994 08:49:37 GMT": English day and month names, the day without a leading zero,
// hours, minutes and seconds with two digits. Out-of-range fields are clamped.
std::string ServerDate(const platform::CalendarTime& utc);

// The header block of every 200 answer of the program itself: status, Date, Server,
// last-Modified, the content type (Shift_JIS), no-cache lines, Connection: close, empty line.
std::string StandardHead(ContentKind kind, std::string_view date);

// The whole 303 answer to `location` (no body). The location is cut at its first CR, LF or NUL,
// so that it stays one header line.
std::string RedirectAnswer(std::string_view location, std::string_view date);

// The shorter header block of the echo page.
std::string EchoHead(std::string_view date);

}  // namespace korvo

#endif  // KORVO_SERVER_HTTP_ANSWER_H_

// Which links the ticker opens, and how a link reaches the browser.
//
// Feeds choose the links, so they are treated as hostile: only "http://" and "https://" links
// are opened (any other scheme would hand the link to whatever program claims it), never an
// empty link or one containing "@" (user-name tricks), and a link travels to a browser program
// as one quoted argument in which blanks, quotes, control characters and bytes that are not
// printable ASCII cannot end the argument or start another one.
#ifndef KORVO_TICKER_LINK_OPENING_H_
#define KORVO_TICKER_LINK_OPENING_H_

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace korvo {

// Longest link handed to a browser (a command line holds at most 32767 characters).
constexpr size_t kMaxOpenedLink = 8192;

// True when the ticker may open `link` (CP932).
bool MayOpenLink(std::string_view link);

// `link` (CP932) as a browser reads it: converted to UTF-8, then every byte below 0x21, '"', and
// the bytes 0x7F and above percent-encoded (%XX), so Japanese characters become the UTF-8
// escapes a browser expects, and the link is one token with no way out of its quotes. Printable
// ASCII stays as it is.
std::string EncodeLinkForBrowser(std::string_view link);

// The parameters for a browser program the user named: `options` (browser_option) with each
// "%s" replaced by the quoted encoded link; without "%s" in the options " %s" is appended first.
// The replacement is plain text: no other "%" sequence is interpreted. Empty when the result
// would exceed `max_size` bytes.
std::string NamedBrowserParameters(std::string_view options, std::string_view link,
                                   size_t max_size = 32000);

// The program of a browser command line (the default value of the registry's
// http\shell\open\command, or the user's browser_path): quotes removed, ending at the first
// blank outside quotes. For narrow (CP932) and wide text alike.
template <typename Char>
std::basic_string<Char> ProgramFromCommand(std::basic_string_view<Char> command) {
  std::basic_string<Char> program;
  bool quoted = false;
  size_t i = 0;
  while (i < command.size() && command[i] == Char(' ')) ++i;
  for (; i < command.size(); ++i) {
    const Char c = command[i];
    if (c == Char('"')) {
      quoted = !quoted;
    } else if (c == Char(' ') && !quoted) {
      break;
    } else {
      program += c;
    }
  }
  return program;
}

// How a link is opened.
struct BrowserChoice {
  enum class Way {
    kNamed,     // the user's browser program with NamedBrowserParameters
    kExplicit,  // the default browser's program with the quoted link; the shell if that fails
    kShell,     // the shell opens the link; the default browser's program if that fails
  };
  Way way = Way::kShell;
};

// flag bit 31 (a named browser) wins over bit 13 (the default browser explicitly); `explicit`
// asks for the default browser's program whatever the flags (site links, skin buttons).
BrowserChoice ChooseBrowser(uint32_t flags, bool explicit_browser = false);

}  // namespace korvo

#endif  // KORVO_TICKER_LINK_OPENING_H_

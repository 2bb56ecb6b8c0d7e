// The rules for opening a link in the external browser (the same for the ticker, the browse
// window and the list pages):
//   1. empty links and links containing "@" are refused;
//   2. "http://" and "https://" links are accepted; any other only when the text after its last
//      "." begins with one of html, htm, rdf, rss, xml, atom, mp3, jpg, gif, opml, bmp, mpeg, mpg,
//      avi (case ignored);
//   3. with a browser program named by the user (general flag bit 31), that program is started
//      with its options, the link in place of "%s" (" %s" appended when the options have none);
//   4. the explicit browser (site links, and general flag bit 13) is the program of the default
//      value of HKEY_CLASSES_ROOT\http\shell\open\command, started with the link;
//   5. otherwise the shell opens the link itself.
// This file holds the decisions of rules 1-4 that need no system; win/browser_launch.h applies
// them.
#ifndef KORVO_BROWSE_BROWSER_RULES_H_
#define KORVO_BROWSE_BROWSER_RULES_H_

#include <string>
#include <string_view>

namespace korvo {

// Rules 1 and 2.
bool MayOpenLink(std::string_view link);

// Rule 3: the parameters for the user's browser: `options` with its first "%s" replaced by the
// link (" %s" appended first when the options hold none). Other "%" stay as they are.
std::string BrowserParameters(std::string_view options, std::string_view link);

// Rule 4: the program of a shell command line: the text up to the first blank outside double
// quotes, with the quotes removed.
std::string ProgramOfCommand(std::string_view command);

}  // namespace korvo

#endif  // KORVO_BROWSE_BROWSER_RULES_H_

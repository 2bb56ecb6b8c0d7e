// Opening a link in the user's browser (link_opening.h decides which links and how):
//   named     (flag bit 31) the user's browser_path with browser_option, "%s" replaced by the
//             quoted link; a failure shows "can't open the browser";
//   explicit  (flag bit 13, site links and link buttons) the program of the registry's
//             HKEY_CLASSES_ROOT\http\shell\open\command with the quoted link ("can't get path"
//             when that value is longer than 1024 bytes); the shell when it fails;
//   shell     ShellExecute of the link itself; the explicit way when it fails.
// When the last way fails too, "can't open the browser" is shown (title "ERROR").
//
// Threads: any thread that has COM initialised (the shell may need it).
#ifndef KORVO_TICKER_WIN_BROWSER_LAUNCH_H_
#define KORVO_TICKER_WIN_BROWSER_LAUNCH_H_

#include <cstdint>
#include <string>

namespace korvo {

struct BrowserSettings {
  uint32_t flags = 0;  // iFlag
  std::string path;    // browser_path (CP932)
  std::string option;  // browser_option (CP932)
};

// Opens `link` (CP932). False when the link may not be opened or every way failed.
bool OpenInBrowser(const std::string& link, const BrowserSettings& settings,
                   bool explicit_browser = false);

}  // namespace korvo

#endif  // KORVO_TICKER_WIN_BROWSER_LAUNCH_H_

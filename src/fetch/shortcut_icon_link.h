// Finding the icon a web page names in its head: <link rel="Shortcut Icon" href="...">.
#ifndef KORVO_FETCH_SHORTCUT_ICON_LINK_H_
#define KORVO_FETCH_SHORTCUT_ICON_LINK_H_

#include <cstddef>
#include <string>
#include <string_view>

namespace korvo {

// Longest part of a page that is searched; the head comes first, so the rest is never needed.
constexpr size_t kMaxIconPageBytes = size_t{512} << 10;

// The href of the page's shortcut icon link, as written in the page. The page (raw bytes as
// downloaded; UTF-16 pages are converted first) is read as an HTML fragment; in its "head" (else
// "HEAD") element the first "LINK" (else "link") element and its following siblings are
// searched for a "link" or "LINK" element whose "rel" attribute begins with "Shortcut Icon",
// case ignored; its "href" (else "HREF") is the answer. False when there is none or the href is
// empty.
bool FindShortcutIconHref(std::string_view page, std::string* href);

}  // namespace korvo

#endif  // KORVO_FETCH_SHORTCUT_ICON_LINK_H_

// The item page (HTML) and the item document (XML) of the local server, built from a copy of
// the shown list (item_snapshot.h), and the text escaping they use.
//
// Every feed text is escaped, in the HTML page as in the XML document, attribute values
// included: a feed must not be able to put markup or script into the program's own origin,
// where pages can mark items read and reach the plug-in's commands. Links written into the
// HTML page's href attributes must be http:// or https:// addresses (others are written as an
// empty value): a "javascript:" link would run in that origin when clicked.
//
// Pure functions; thread-safe.
#ifndef KORVO_SERVER_ITEM_DOCUMENTS_H_
#define KORVO_SERVER_ITEM_DOCUMENTS_H_

#include <optional>
#include <string>
#include <string_view>

#include "plugin_host/plugin_item.h"
#include "server/server_request.h"

namespace korvo {

// E: every byte that has a named character entity (in effect & < > " and ') becomes that
// reference (&amp; ...); every other byte, Japanese ones included, stays as it is.
void AppendEscaped(std::string* out, std::string_view text);
// D: E, then CR LF, a lone CR and a lone LF each become "<br>".
void AppendDescription(std::string* out, std::string_view text);

// Which items a request for `items` or `xmlitems` takes.
struct ItemSelection {
  bool only_new = false;            // `view` begins with "new" (any case): state bit 3 only
  std::optional<std::string> site;  // `site`: items whose site link begins with it (any case)
};
ItemSelection SelectionFromRequest(const ServerRequest& request);
// Items with the dropped mark are never taken; an item without a site link is taken whatever
// `site` says.
bool IsSelected(const PluginItemEx& item, const ItemSelection& selection);

// The body of the `items` answer / the `xmlitems` answer, for the items of `list` (a linked
// list, may be null) that `selection` takes, numbered from 1.
std::string ItemPage(const PluginItemEx* list, const ItemSelection& selection);
std::string ItemDocument(const PluginItemEx* list, const ItemSelection& selection);

}  // namespace korvo

#endif  // KORVO_SERVER_ITEM_DOCUMENTS_H_

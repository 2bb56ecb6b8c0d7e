// What the properties dialog edits on one outline of the channel or favourites list, and how
// its result is written back onto the outline's attributes.
//
// The dialog edits `text`, the feed address, `htmlUrl`, `description`, the request word of
// `authorization`, the keyword options and the flags. Attributes it does not show (`type`,
// `NoAddToDb`, `itemttl`, `overwrite_siteurl`, `overwrite_sitename`, and anything another program
// wrote) are kept as they were, so editing an outline never loses data.
//
// Pure functions; safe on any thread. Texts are CP932.
#ifndef KORVO_CHANNELS_OUTLINE_PROPERTIES_H_
#define KORVO_CHANNELS_OUTLINE_PROPERTIES_H_

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace korvo {

// An element's attributes in document order; names are unique.
using AttributeList = std::vector<std::pair<std::string, std::string>>;

// Value of `name` in `attributes`, or nullptr.
const std::string* FindAttribute(const AttributeList& attributes, std::string_view name);
// Sets `name` to `value`, in place when it exists, else at the end.
void SetAttribute(AttributeList* attributes, std::string_view name, std::string_view value);
// Removes `name` when present.
void RemoveAttribute(AttributeList* attributes, std::string_view name);

struct OutlineProperties {
  std::string text;
  std::string xmlUrl;  // the whole feed address, "[" suffix included; empty for a folder
  std::string htmlUrl;
  std::string description;
  std::string authorization;  // written when not empty
  std::string keyword;        // written when not empty
  std::string hitDb;          // "add", "noadd" or empty
  std::string hit;            // "add", "noadd" or empty
  bool filterByName = false;
  bool filterOn = false;
  bool skipAll = false;
  bool disable = false;
  bool drop = false;
  bool noInherit = false;
  bool onlyNew = false;
  uint32_t ttl = 0;  // minutes; 0 = not set

  // Folders show the four folder options (NoInherit, OnlyNew, Drop, FilterOn) in the dialog.
  bool IsFolder() const { return xmlUrl.empty(); }
};

// The properties as the dialog starts from them.
OutlineProperties PropertiesFromAttributes(const AttributeList& attributes);

// The attributes of the outline after the dialog's OK: `text` and `title` (a copy of it),
// `xmlUrl`, `htmlUrl`, `description` when not empty, `authorization`, `keyword`, `HitDb`, `Hit`
// when not empty, each set flag as "true", `ttl` in decimal minutes when not 0; then every other
// attribute of `old_attributes` in its old order. Attributes the dialog edits and the user
// cleared are removed.
AttributeList ApplyProperties(const AttributeList& old_attributes,
                              const OutlineProperties& properties);

// A favourite edited in the same dialog: `text` and `title` become `name`, and the address field
// is written as `htmlUrl` (removed when empty). Other attributes are kept.
AttributeList ApplyFavouriteProperties(const AttributeList& old_attributes, std::string_view name,
                                       std::string_view address);

// The part of a feed address the dialog shows: everything before the first "[".
std::string_view DisplayedFeedAddress(std::string_view xml_url);

// The feed address after the user edited the shown part: the edited text, followed by the old
// address's "[" suffix unless the edited text brings a suffix of its own.
std::string MergeEditedFeedAddress(std::string_view old_xml_url, std::string_view edited);

// The dialog's request choice: 0 none, 1 "basic", 2 "GET", 3 "POST".
// The choice an `authorization` value shows (its first word, case ignored).
int RequestChoiceOf(std::string_view authorization);
// The `authorization` value for `choice`: the old value when its word is the chosen one (what
// follows the word is kept), else the bare word; "" for none.
std::string AuthorizationForChoice(std::string_view old_value, int choice);

}  // namespace korvo

#endif  // KORVO_CHANNELS_OUTLINE_PROPERTIES_H_

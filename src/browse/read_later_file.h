// The browse window's export of the read-later list: an RSS 2.0 document (UTF-8) with one item
// per record on the list (title, link, description, site as <source>, author, category, the
// get day as pubDate in UTC), so that the file can be imported again (menu "「後で読む」を
// インポート") on this or another machine, where its items not yet stored become unread records
// on the read-later list, like any local feed file.
//
// Pure function; any thread.
#ifndef KORVO_BROWSE_READ_LATER_FILE_H_
#define KORVO_BROWSE_READ_LATER_FILE_H_

#include <string>
#include <vector>

#include "store/news_item.h"

namespace korvo {

// `offset_minutes` is the local offset from UTC of the stored (local) dates.
std::string ReadLaterFeed(const std::vector<NewsItem>& items, int offset_minutes);

}  // namespace korvo

#endif  // KORVO_BROWSE_READ_LATER_FILE_H_

// A plain-text listing of the news store, for tests and for looking at a store by hand: one line
// per record, in the order of the received-date index (meta_1), UTF-8:
//
//   <number> TAB <get day> TAB <last seen> TAB <check day> TAB <site> TAB <title> TAB <link>
//
// Dates are "YYYY-MM-DD HH:MM" (empty for an empty date). Tabs, carriage returns and line feeds
// inside texts become blanks, so every record is exactly one line. Numbers listed in the index
// whose record does not read are skipped.
//
// Threads: call with the store lock held (ScopedDatabase).
#ifndef KORVO_STORE_STORE_DUMP_H_
#define KORVO_STORE_STORE_DUMP_H_

#include <cstddef>
#include <ostream>
#include <string>

#include "store/news_database.h"

namespace korvo {

// One record as its listing line, without the line end.
std::string StoreDumpLine(const NewsItem& item);

// Writes the listing of `db` to `out`; returns the number of records written.
size_t DumpStore(NewsDatabase& db, std::ostream& out);

}  // namespace korvo

#endif  // KORVO_STORE_STORE_DUMP_H_

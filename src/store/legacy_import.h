// Import of the earlier database format: ./database/newsdata.dat with fixed records and eight
// string files, converted once into the news database.
//
// newsdata.dat (words little-endian): a 64-byte header {0x10000, record size (64), 0, zeros},
// then the records in ascending record number, each 16 words:
//   0 record number   1 byte sum of the link   2 offset in url.dat   3 offset in title.dat
//   4 offset in rss.dat   5 get day (packed)   6 last seen (packed)   7 check day (packed)
//   8 offset in comment.dat   9 flags   10 create day (packed)
//   11 offset of four strings in info.dat (site, site link, category, author)
//   12 offset in description.dat   13 offset in subelement.dat   14 offset in trackback.dat
//   15 reserved
// String files begin with the bytes 0x20 0x00; a string runs from its offset to the first byte
// 0x00 or 0xFF and is CP932. Offset 0 means no string.
//
// The old files are only read; a missing string file is created holding its two header bytes.
#ifndef KORVO_STORE_LEGACY_IMPORT_H_
#define KORVO_STORE_LEGACY_IMPORT_H_

#include <memory>
#include <string>

#include "store/progress.h"

namespace korvo {

// The longest string taken from a legacy string file, in bytes; longer ones are cut.
constexpr size_t kLegacyStringLimit = 4 * 1024 * 1024;

// Converts every record of <folder>/database/newsdata.dat into a new record of the news
// database, which is emptied first. Takes a DatabaseGuard and holds the store lock throughout.
// `display` is the progress display the caller started (may be null). When it is found closed
// after a record, `provider` asks whether to stop: yes empties the database again and ends with
// -1; no starts a new display at the current position. Returns 0 when every record was
// converted; -1 when the table file cannot be opened, the database cannot be opened, or the
// user stopped.
int ConvertLegacyRecords(const std::string& folder, ProgressProvider* provider,
                         std::unique_ptr<Progress>* display);

// Run once at start-up before the channel list is loaded: when newsdata.dat is there, shows the
// progress display "KorvoNewsReader データベースを移行中...", marks the conversion with err.txt,
// deletes dump.dat (its numbers name old records), converts, and on success renames newsdata.dat
// to newsdata.bak (replacing an older one) and deletes err.txt. Returns 1 when there was nothing
// to import, else the result of ConvertLegacyRecords.
int ImportLegacyDatabase(const std::string& folder, ProgressProvider* provider);

}  // namespace korvo

#endif  // KORVO_STORE_LEGACY_IMPORT_H_

// Replacing a whole file so that a failed write never leaves it cut.
#ifndef KORVO_FEED_TEXT_FILE_REPLACE_H_
#define KORVO_FEED_TEXT_FILE_REPLACE_H_

#include <string>
#include <string_view>

namespace korvo {

// Writes `data` to "<utf8_path>.tmp" and renames that over `utf8_path`. False on any failure; the
// old file is then unchanged and the temporary file removed.
bool WriteFileReplacing(const std::string& utf8_path, std::string_view data);

}  // namespace korvo

#endif  // KORVO_FEED_TEXT_FILE_REPLACE_H_

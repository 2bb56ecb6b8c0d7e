// Replacing a whole file so that a failed write never leaves it cut, and two writers (threads of
// one process or several processes) never share a temporary file.
#ifndef KORVO_FEED_TEXT_FILE_REPLACE_H_
#define KORVO_FEED_TEXT_FILE_REPLACE_H_

#include <functional>
#include <string>
#include <string_view>

namespace korvo {

// Writes `data` to a new temporary file in `temp_folder` (which must be on the volume of
// `utf8_path`) and renames it over `utf8_path`. The temporary file is "~korvo-<process id>-<n>
// .part" and is created exclusively (a name in use is passed over), so no other writer can write
// into it or rename it away. `prepare`, when given, runs on the still empty temporary file (its
// path) before anything is written; false from it fails the replace. False on any failure; the
// old file is then unchanged and the temporary file removed.
bool ReplaceFileThroughTemporary(const std::string& temp_folder, const std::string& utf8_path,
                                 std::string_view data,
                                 const std::function<bool(const std::string&)>& prepare = nullptr);

// The same with the temporary file beside `utf8_path`.
bool WriteFileReplacing(const std::string& utf8_path, std::string_view data);

}  // namespace korvo

#endif  // KORVO_FEED_TEXT_FILE_REPLACE_H_

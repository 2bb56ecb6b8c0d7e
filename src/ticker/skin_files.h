// The files of a skin folder (skin\<name>\ below the program folder): the skin file (the first
// `*.ini` the folder listing gives), the face bitmap (the first `*.bmp`) and, optionally, the
// button images "btn_bitmap.btn". Also the size a Windows bitmap file declares, read from its
// headers without decoding it.
//
// Paths are UTF-8. Functions touch only the file system; safe on any thread.
#ifndef KORVO_TICKER_SKIN_FILES_H_
#define KORVO_TICKER_SKIN_FILES_H_

#include <string>
#include <string_view>

namespace korvo {

constexpr char kButtonBitmapName[] = "btn_bitmap.btn";
// The skin folder name reserved for the no-skin entry of user.ini; never listed as a skin.
constexpr char kReservedSkinFolder[] = "noskin260";

struct SkinFiles {
  std::string folder;
  std::string ini;            // full path
  std::string bitmap;         // full path
  std::string button_bitmap;  // full path; empty when the folder has none
};

// True when `name` ends in `suffix` (".ini", ".bmp"), compared without regard to ASCII case, as
// the platform's wildcard matching does.
bool HasSuffixNoCase(std::string_view name, std::string_view suffix);

// Finds the files in `folder`; false when it has no `*.ini` or no `*.bmp` file.
bool FindSkinFiles(const std::string& folder, SkinFiles* files);

// The width and height a bitmap file's headers declare ("BM", then a core or an info header;
// the height of a top-down bitmap counts as positive). False when the file cannot be read or
// is no bitmap, or a size is 0 or above 32767.
bool ReadBitmapSize(const std::string& path, int* width, int* height);

}  // namespace korvo

#endif  // KORVO_TICKER_SKIN_FILES_H_

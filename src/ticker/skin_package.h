// Skin packages (zip archives dropped on the ticker) and folder skins (dropped folders): the
// checks that decide whether something is a skin, and its installation into skin\<name>\ below
// the program's skin folder.
//
// A skin package holds exactly one folder level: every file entry is "folder\file" ('/' counts as
// '\'), all in the same folder, optionally with the folder's own entry "folder\"; exactly one
// ".bmp", exactly one ".ini", at most one "btn_bitmap.btn" (names compared without regard to
// case), and any other files. The folder name is the skin's name. Anything else makes the archive
// no skin package.
//
// Nothing in an archive is trusted: entry and folder names that could leave skin\<name>\ (".."
// parts, absolute paths, drive letters, device names, characters that are not allowed in file
// names) make the archive no skin; an archive of more than kMaxPackageEntries entries or whose
// files unpack to more than kMaxPackageBytes is no skin; every entry is unpacked and its checksum
// verified before the first byte is written. Archives are read through the platform's file layer
// (long and Unicode paths on Windows) with minizip.
//
// Paths are UTF-8; names CP932. The functions touch only the files given; any thread.
#ifndef KORVO_TICKER_SKIN_PACKAGE_H_
#define KORVO_TICKER_SKIN_PACKAGE_H_

#include <cstdint>
#include <string>
#include <vector>

namespace korvo {

constexpr int kMaxPackageEntries = 1024;
constexpr uint64_t kMaxPackageBytes = uint64_t{64} << 20;
constexpr size_t kPackageCopyPiece = 8192;

// What a check found.
struct SkinPackageInfo {
  std::string name;                // the skin's folder name
  std::string bitmap_entry;        // the face bitmap's entry name, as in the archive
  std::string ini_entry;           // the skin file's entry name
  std::string button_entry;        // btn_bitmap.btn's entry name; empty when there is none
  std::vector<std::string> files;  // the files to install (names within the folder)
  bool installed = false;          // skin\<name> exists already
  bool has_program_files = false;  // a .exe, .dll or similar is among the files
  uint64_t bytes = 0;              // unpacked size of all files
};

enum class SkinCheck {
  kSkin,        // a skin: the info is filled
  kNotArchive,  // the file is no zip archive (perhaps a feed or a folder)
  kNotSkin,     // an archive, or a folder, that is no skin (or breaks a rule)
};

// Whether the archive at `archive_path` is a skin package; `skin_root` is the program's skin
// folder, where `installed` is looked up.
SkinCheck CheckSkinPackage(const std::string& archive_path, const std::string& skin_root,
                           SkinPackageInfo* info);

// Checks the archive again (it may have changed since), verifies every entry, then writes each
// file into skin_root\<name>\ (folders created as needed, existing files replaced, each written
// to a temporary file first). On failure the files written so far are removed again (and the
// folder, when this call created it). True when every file was installed.
bool InstallSkinPackage(const std::string& archive_path, const std::string& skin_root,
                        SkinPackageInfo* info);

// A folder skin: a folder with exactly one `*.ini` and exactly one `*.bmp` file (sub-folders are
// not looked into); its last path component is the skin's name. kNotArchive is never returned:
// anything else is kNotSkin.
SkinCheck CheckFolderSkin(const std::string& folder, const std::string& skin_root,
                          SkinPackageInfo* info);

// Copies the folder's files (not its sub-folders) into skin_root\<name>\, replacing files there,
// with the same bounds and the same clean-up on failure as packages.
bool InstallFolderSkin(const std::string& folder, const std::string& skin_root,
                       SkinPackageInfo* info);

}  // namespace korvo

#endif  // KORVO_TICKER_SKIN_PACKAGE_H_

#include "shell/working_folder.h"

#include <algorithm>
#include <iterator>

#include "platform/files.h"

namespace korvo {

const char* const kPerUserCopiedFiles[6] = {"channel.opml", "UrlList",      "eboard",
                                            "setup.ini",    "newsdata.dat", "comment.dat"};
const char* const kPerUserCopiedDatabaseFiles[7] = {
    "comment.dat", "newsdata.dat",    "url.dat", "rss.dat",
    "title.dat",   "description.dat", "info.dat"};

namespace {

// '/' separators and no trailing separator (except a lone root).
std::string Normalised(std::string path) {
  std::replace(path.begin(), path.end(), '\\', '/');
  while (path.size() > 1 && path.back() == '/') path.pop_back();
  return path;
}

void CopyInto(const std::string& from_folder, const std::string& to_folder,
              const char* const* names, size_t count) {
  for (size_t i = 0; i < count; ++i) {
    // Missing sources and existing targets are skipped silently.
    platform::CopyFileNoOverwrite(from_folder + "/" + names[i], to_folder + "/" + names[i]);
  }
}

// The per-user folder, created and filled on first use; empty when it cannot be used.
std::string PerUserFolder(const std::string& program_folder, const std::string& app_data,
                          bool* created) {
  *created = false;
  if (app_data.empty() || !platform::DirectoryExists(app_data)) return std::string();
  const std::string maker = app_data + "/Brindloxsoft";
  if (!platform::MakeDirectory(maker)) return std::string();
  const std::string folder = maker + "/korvo";
  if (platform::DirectoryExists(folder)) return folder;
  if (!platform::MakeDirectory(folder)) return std::string();
  *created = true;
  CopyInto(program_folder, folder, kPerUserCopiedFiles, std::size(kPerUserCopiedFiles));
  if (platform::DirectoryExists(program_folder + "/database") &&
      platform::MakeDirectory(folder + "/database")) {
    CopyInto(program_folder + "/database", folder + "/database", kPerUserCopiedDatabaseFiles,
             std::size(kPerUserCopiedDatabaseFiles));
  }
  return folder;
}

}  // namespace

namespace {

// The folders for `working_folder`.
void SetWorkingFolder(const std::string& working_folder, bool per_user, AppFolders* folders) {
  folders->working_folder = working_folder;
  folders->per_user = per_user;
  folders->cache_folder = working_folder + "/cache";
  folders->database_folder = working_folder + "/database";
}

}  // namespace

AppFolders PrepareWorkingFolder(const CommandLineOptions& options, const std::string& start_folder,
                                const std::string& app_data) {
  AppFolders folders;
  folders.program_folder = Normalised(start_folder);
  folders.skin_folder = folders.program_folder + "/skin";
  SetWorkingFolder(folders.program_folder, false, &folders);
  if (options.user_folder) {
    const std::string per_user =
        PerUserFolder(folders.program_folder, Normalised(app_data), &folders.per_user_created);
    if (!per_user.empty()) SetWorkingFolder(per_user, true, &folders);
  }
  platform::MakeDirectory(folders.cache_folder);
  platform::MakeDirectory(folders.database_folder);
  return folders;
}

AppFolders LocateWorkingFolder(const CommandLineOptions& options, const std::string& start_folder,
                               const std::string& app_data) {
  AppFolders folders;
  folders.program_folder = Normalised(start_folder);
  folders.skin_folder = folders.program_folder + "/skin";
  SetWorkingFolder(folders.program_folder, false, &folders);
  const std::string data = Normalised(app_data);
  if (options.user_folder && !data.empty() && platform::DirectoryExists(data)) {
    SetWorkingFolder(data + "/Brindloxsoft/korvo", true, &folders);
  }
  return folders;
}

}  // namespace korvo

// The choice and preparation of the working folder, where every relative path of the program
// points: the program folder, or with "-user" the per-user folder "<application data>/Brindloxsoft/
// korvo", which the first such start fills with copies of the program folder's files.
#ifndef KORVO_SHELL_WORKING_FOLDER_H_
#define KORVO_SHELL_WORKING_FOLDER_H_

#include <string>

#include "shell/command_line.h"

namespace korvo {

// The folders of one run, UTF-8 with '/' separators and no trailing '/'. The Windows side turns
// them into wide "\\?\" paths through the platform seam.
struct AppFolders {
  std::string program_folder;     // the current directory at start
  std::string skin_folder;        // program_folder + "/skin": skins always come from there
  std::string working_folder;     // program_folder, or the per-user folder
  std::string cache_folder;       // working_folder + "/cache"
  std::string database_folder;    // working_folder + "/database"
  bool per_user = false;          // working_folder is the per-user folder
  bool per_user_created = false;  // ... and this start created it (and copied the files)
};

// The files a new per-user folder receives from the program folder (never overwriting), and those
// its "database" folder receives when the program folder has one (missing ones are skipped).
extern const char* const kPerUserCopiedFiles[6];
extern const char* const kPerUserCopiedDatabaseFiles[7];

// Picks the working folder and prepares it; the current directory is not changed (the caller
// makes working_folder current).
//   `start_folder`: the current directory at start (the program folder);
//   `app_data`: the per-user application-data folder, empty when there is none.
// With options.user_folder and an existing `app_data`: "Brindloxsoft" is created there if missing,
// then "korvo" in it; when "korvo" is new the files above are copied into it. If the application-
// data folder is missing or a folder cannot be created, the program folder stays the working
// folder. Then "cache" and "database" are created in the working folder when missing; failures
// there are not reported (the fetcher and the store report their own).
AppFolders PrepareWorkingFolder(const CommandLineOptions& options, const std::string& start_folder,
                                const std::string& app_data);

// The folders PrepareWorkingFolder picks, without creating or copying anything (for a run that
// only reads, such as listing the store): with options.user_folder and an existing `app_data`,
// the per-user folder whether or not it exists yet; otherwise the program folder.
AppFolders LocateWorkingFolder(const CommandLineOptions& options, const std::string& start_folder,
                               const std::string& app_data);

}  // namespace korvo

#endif  // KORVO_SHELL_WORKING_FOLDER_H_

// What every request of the fetching code needs: the network settings, where the working folder
// is (the cache folder and the credentials file live there), a clock, and for tests the
// certificates to trust.
#ifndef KORVO_FETCH_FETCH_CONTEXT_H_
#define KORVO_FETCH_FETCH_CONTEXT_H_

#include <string>

#include "fetch/fetch_clock.h"
#include "fetch/http_settings.h"
#include "shell/network_settings.h"

namespace korvo {

struct FetchContext {
  HttpSettings settings;
  std::string working_folder;                     // UTF-8, absolute
  const FetchClock* clock = &SystemFetchClock();  // not owned; outlives every user
  std::string ca_file;  // POSIX: trusted certificates for https:// instead of the system's

  std::string CacheFolder() const { return working_folder + "/cache"; }
  std::string CredentialsPath() const { return working_folder + "/password"; }
};

// A context for the current directory, as the program uses it (its working folder).
FetchContext CurrentFolderContext(const HttpSettings& settings);

// A context for the working folder `folder` (UTF-8) with the network settings it holds.
FetchContext FolderContext(const std::string& folder);

}  // namespace korvo

#endif  // KORVO_FETCH_FETCH_CONTEXT_H_

// A stand-in plug-in for korvo-headless ("--echo-plugin FILE"), so that the local server's
// "dllfunc" route can be tested end to end without a plug-in library: it becomes the current
// plug-in host of the dispatcher, answers every request with a small text page naming the query,
// and appends each query, one line each, to FILE.
//
// Threads: Install and Uninstall on the main thread; the request handler runs on the server's
// accepting thread.
#ifndef KORVO_APP_HEADLESS_ECHO_PLUGIN_H_
#define KORVO_APP_HEADLESS_ECHO_PLUGIN_H_

#include <string>

namespace korvo {

// Makes the stand-in the dispatcher's current host, logging to `log_path` (UTF-8).
void InstallEchoPlugin(const std::string& log_path);
// Clears the dispatcher's host (after the server has stopped).
void UninstallEchoPlugin();

}  // namespace korvo

#endif  // KORVO_APP_HEADLESS_ECHO_PLUGIN_H_

#include "app/headless/headless_options.h"

namespace korvo {

namespace {

bool IsAbsolute(const std::string& path) {
  if (!path.empty() && (path[0] == '/' || path[0] == '\\')) return true;
  return path.size() >= 2 && path[1] == ':';  // a drive letter
}

}  // namespace

HeadlessOptions ParseHeadlessOptions(const std::vector<std::string>& arguments,
                                     const std::string& start_folder) {
  HeadlessOptions options;
  for (size_t i = 0; i < arguments.size(); ++i) {
    const std::string& argument = arguments[i];
    if (argument == "--dump-store") {
      options.dump_store = true;
    } else if (argument == "--commands" || argument == "--echo-plugin") {
      if (i + 1 >= arguments.size() || arguments[i + 1].empty()) {
        options.error = argument + " needs a file name";
        return options;
      }
      const std::string& file = arguments[++i];
      (argument == "--commands" ? options.command_file : options.echo_plugin_log) =
          IsAbsolute(file) ? file : start_folder + "/" + file;
    } else {
      options.shell_arguments.push_back(argument);
    }
  }
  return options;
}

}  // namespace korvo

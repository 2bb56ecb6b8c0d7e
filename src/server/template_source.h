// The templates of the routes `index.html` and `style.css`: where they come from (the section
// `template_path` of setup.ini, keys `html` and `css`, each up to 2047 characters, default
// "default") and how they are loaded.
//
// A value names its source (compared without case, by its start):
//   "http://", "https://"   fetched over HTTP
//   "default" or empty      the template's default location (a file shipped beside the program,
//                           or a web address)
//   "resource"              the built-in document of that template (builtin_documents.h: the
//                           index page, or for the style sheet the built-in style sheet)
//   anything else           a local file
// When the named source fails, the default location is tried, then the built-in document.
// While the text came over HTTP and begins with "redirect:" (any case), the rest of it is the
// new location: an http(s) address is remembered as the template's value and fetched in turn (at
// most 10 steps; a failed fetch gives the built-in document). Any other location is not followed
// and never remembered (a web site must not make the program serve the user's local files): the
// built-in document is served instead. The section is written back after every load.
//
// Threads: one loader is used by one thread at a time (the server's accepting thread).
#ifndef KORVO_SERVER_TEMPLATE_SOURCE_H_
#define KORVO_SERVER_TEMPLATE_SOURCE_H_

#include <functional>
#include <string>
#include <string_view>

namespace korvo {

enum class TemplateKind { kIndex, kStyle };

struct TemplatePaths {
  std::string html = "default";
  std::string css = "default";
};

constexpr char kTemplatePathSection[] = "template_path";
constexpr size_t kMaxTemplatePath = 2047;
constexpr int kMaxTemplateRedirects = 10;

// The body served when nothing at all could be loaded.
constexpr char kEmptyTemplatePage[] = "<html><head></head><body></body></html>";

class TemplateLoader {
 public:
  struct Options {
    std::string setup_path;    // setup.ini (UTF-8)
    std::string default_html;  // default locations (CP932: a local path or a web address)
    std::string default_css;
    // Fetches a web address; false on failure (any thread-safe downloader).
    std::function<bool(const std::string& url, std::string* body)> fetch;
    // Reads a local file named by a CP932 path; false on failure.
    std::function<bool(const std::string& path, std::string* body)> read_file;
    // The built-in document of a template (CP932).
    std::function<std::string(TemplateKind)> builtin;
  };

  explicit TemplateLoader(Options options) : options_(std::move(options)) {}

  // The body for `kind`, following the rules above; updates setup.ini.
  std::string Load(TemplateKind kind);

 private:
  // Loads `value`; `from_http` tells whether the text came over HTTP.
  bool LoadFrom(TemplateKind kind, std::string_view value, const std::string& default_location,
                std::string* text, bool* from_http);
  std::string Builtin(TemplateKind kind) const;
  bool LoadLocation(const std::string& location, std::string* text, bool* from_http);

  Options options_;
};

TemplatePaths ReadTemplatePaths(const std::string& setup_path);
bool WriteTemplatePaths(const std::string& setup_path, const TemplatePaths& paths);

}  // namespace korvo

#endif  // KORVO_SERVER_TEMPLATE_SOURCE_H_

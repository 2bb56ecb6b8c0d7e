#include "server/template_source.h"

#include "fetch/url_text.h"
#include "server/ascii_case.h"
#include "shell/profile_file.h"

namespace korvo {

namespace {

bool NamesDefault(std::string_view value) {
  return value.empty() || StartsWithNoCase(value, "default");
}

// The location a "redirect:" answer names: the rest of its first line, without surrounding
// blanks, at most kMaxTemplatePath bytes.
std::string RedirectLocation(std::string_view text) {
  std::string_view rest = text.substr(9);
  rest = rest.substr(0, rest.find_first_of("\r\n"));
  while (!rest.empty() && (rest.front() == ' ' || rest.front() == '\t')) rest.remove_prefix(1);
  while (!rest.empty() && (rest.back() == ' ' || rest.back() == '\t')) rest.remove_suffix(1);
  return std::string(rest.substr(0, kMaxTemplatePath));
}

}  // namespace

TemplatePaths ReadTemplatePaths(const std::string& setup_path) {
  ProfileFileLock lock;
  ProfileFile file;
  file.Load(setup_path);
  TemplatePaths paths;
  paths.html = file.GetString(kTemplatePathSection, "html", "default", kMaxTemplatePath + 1);
  paths.css = file.GetString(kTemplatePathSection, "css", "default", kMaxTemplatePath + 1);
  return paths;
}

bool WriteTemplatePaths(const std::string& setup_path, const TemplatePaths& paths) {
  ProfileFileLock lock;
  ProfileFile file;
  if (!file.Load(setup_path)) return false;
  file.PutString(kTemplatePathSection, "html", paths.html);
  file.PutString(kTemplatePathSection, "css", paths.css);
  return file.Save();
}

bool TemplateLoader::LoadLocation(const std::string& location, std::string* text, bool* from_http) {
  text->clear();
  *from_http = IsWebAddress(location);
  if (*from_http) return options_.fetch && options_.fetch(location, text);
  return options_.read_file && options_.read_file(location, text);
}

std::string TemplateLoader::Builtin(TemplateKind kind) const {
  return options_.builtin ? options_.builtin(kind) : std::string();
}

bool TemplateLoader::LoadFrom(TemplateKind kind, std::string_view value,
                              const std::string& default_location, std::string* text,
                              bool* from_http) {
  if (NamesDefault(value)) return LoadLocation(default_location, text, from_http);
  if (StartsWithNoCase(value, "resource")) {
    *from_http = false;
    *text = Builtin(kind);
    return !text->empty();
  }
  return LoadLocation(std::string(value), text, from_http);
}

std::string TemplateLoader::Load(TemplateKind kind) {
  TemplatePaths paths = ReadTemplatePaths(options_.setup_path);
  std::string& value = kind == TemplateKind::kIndex ? paths.html : paths.css;
  const std::string& default_location =
      kind == TemplateKind::kIndex ? options_.default_html : options_.default_css;
  auto builtin = [this, kind] { return Builtin(kind); };

  std::string text;
  bool from_http = false;
  bool loaded = LoadFrom(kind, value, default_location, &text, &from_http);
  if (!loaded && !NamesDefault(value)) {
    loaded = LoadLocation(default_location, &text, &from_http);
  }
  if (!loaded) {
    text = builtin();
    from_http = false;
  }
  for (int step = 0;
       step < kMaxTemplateRedirects && from_http && StartsWithNoCase(text, "redirect:"); ++step) {
    const std::string location = RedirectLocation(text);
    if (!IsWebAddress(location)) {
      text = builtin();
      from_http = false;
      break;
    }
    value = location;
    if (!LoadLocation(location, &text, &from_http)) {
      text = builtin();
      from_http = false;
    }
  }
  WriteTemplatePaths(options_.setup_path, paths);
  return text.empty() ? std::string(kEmptyTemplatePage) : text;
}

}  // namespace korvo

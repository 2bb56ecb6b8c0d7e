// Where the index page and the style sheet come from: setup.ini's template_path, its sources,
// the fall-backs and the "redirect:" answers of web templates.
#include "server/template_source.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "common/temp_folder.h"
#include "platform/files.h"
#include "shell/profile_file.h"

namespace korvo {
namespace {

class TemplateSourceTest : public ::testing::Test {
 protected:
  TemplateLoader Loader() {
    TemplateLoader::Options options;
    options.setup_path = Setup();
    options.default_html = dir_ / "template/frame.html";
    options.default_css = "http://templates.example/style.css";
    options.fetch = [this](const std::string& url, std::string* body) {
      fetched_.push_back(url);
      auto it = web_.find(url);
      if (it == web_.end()) return false;
      *body = it->second;
      return true;
    };
    options.read_file = [](const std::string& path, std::string* body) {
      return platform::ReadWholeFile(path, body, 1 << 20);
    };
    options.builtin = [](TemplateKind kind) {
      return std::string(kind == TemplateKind::kIndex ? "BUILTIN-INDEX" : "BUILTIN-CSS");
    };
    return TemplateLoader(options);
  }
  std::string Setup() const { return dir_ / "setup.ini"; }
  void SetValue(const std::string& key, const std::string& value) {
    ASSERT_TRUE(WriteProfileValue(Setup(), "template_path", key, value));
  }
  std::string Value(const std::string& key) const {
    return ReadProfileString(Setup(), "template_path", key, "(none)");
  }

  korvo::testing::TempFolder dir_;
  std::map<std::string, std::string> web_;
  std::vector<std::string> fetched_;
};

TEST_F(TemplateSourceTest, EachValueNamesItsSourceAndFailuresFallBack) {
  TemplateLoader loader = Loader();
  // Nothing configured, no default file: the built-in documents; both keys are written.
  EXPECT_EQ(loader.Load(TemplateKind::kIndex), "BUILTIN-INDEX");
  EXPECT_EQ(loader.Load(TemplateKind::kStyle), "BUILTIN-CSS");
  EXPECT_EQ(Value("html"), "default");
  EXPECT_EQ(Value("css"), "default");
  EXPECT_EQ(fetched_, (std::vector<std::string>{"http://templates.example/style.css"}));

  // The default file beside the program, a default web address.
  ASSERT_TRUE(platform::MakeDirectory(dir_ / "template"));
  ASSERT_TRUE(platform::WriteWholeFile(dir_ / "template/frame.html", "FRAME"));
  web_["http://templates.example/style.css"] = "CSS-FROM-WEB";
  EXPECT_EQ(loader.Load(TemplateKind::kIndex), "FRAME");
  EXPECT_EQ(loader.Load(TemplateKind::kStyle), "CSS-FROM-WEB");

  // "resource", a local file, a web address; a failing one falls back to the default.
  SetValue("html", "Resource");
  EXPECT_EQ(loader.Load(TemplateKind::kIndex), "BUILTIN-INDEX");
  ASSERT_TRUE(platform::WriteWholeFile(dir_ / "mine.html", "MINE"));
  SetValue("html", dir_ / "mine.html");
  EXPECT_EQ(loader.Load(TemplateKind::kIndex), "MINE");
  web_["https://t.example/i.html"] = "WEB-INDEX";
  SetValue("html", "https://t.example/i.html");
  EXPECT_EQ(loader.Load(TemplateKind::kIndex), "WEB-INDEX");
  SetValue("html", "https://t.example/missing.html");
  EXPECT_EQ(loader.Load(TemplateKind::kIndex), "FRAME");
  EXPECT_EQ(Value("html"), "https://t.example/missing.html");  // kept for the next request
}

TEST_F(TemplateSourceTest, WebRedirectsAreFollowedAndRememberedOnlyToWebAddresses) {
  TemplateLoader loader = Loader();
  web_["http://a.example/t"] = "Redirect:http://b.example/t\r\n";
  web_["http://b.example/t"] = "redirect: http://c.example/t ";
  web_["http://c.example/t"] = "PAGE-C";
  SetValue("html", "http://a.example/t");
  EXPECT_EQ(loader.Load(TemplateKind::kIndex), "PAGE-C");
  EXPECT_EQ(Value("html"), "http://c.example/t");

  // A web template may not send the program to a local file, nor make one the template.
  web_["http://evil.example/t"] = "redirect:" + (dir_ / "secret.txt");
  ASSERT_TRUE(platform::WriteWholeFile(dir_ / "secret.txt", "SECRET"));
  SetValue("css", "http://evil.example/t");
  EXPECT_EQ(loader.Load(TemplateKind::kStyle), "BUILTIN-CSS");
  EXPECT_EQ(Value("css"), "http://evil.example/t");
  web_["http://evil.example/t"] = "redirect:resource";
  EXPECT_EQ(loader.Load(TemplateKind::kStyle), "BUILTIN-CSS");
  EXPECT_EQ(Value("css"), "http://evil.example/t");

  // A redirect whose target fails gives the built-in document but is remembered.
  web_["http://a.example/t"] = "redirect:http://gone.example/t";
  SetValue("html", "http://a.example/t");
  EXPECT_EQ(loader.Load(TemplateKind::kIndex), "BUILTIN-INDEX");
  EXPECT_EQ(Value("html"), "http://gone.example/t");

  // A local file that says "redirect:" is not followed; a loop stops after ten steps.
  ASSERT_TRUE(platform::WriteWholeFile(dir_ / "r.html", "redirect:http://c.example/t"));
  SetValue("html", dir_ / "r.html");
  EXPECT_EQ(loader.Load(TemplateKind::kIndex), "redirect:http://c.example/t");
  web_["http://loop.example/1"] = "redirect:http://loop.example/2";
  web_["http://loop.example/2"] = "redirect:http://loop.example/1";
  SetValue("html", "http://loop.example/1");
  fetched_.clear();
  EXPECT_EQ(loader.Load(TemplateKind::kIndex), "redirect:http://loop.example/2");
  EXPECT_EQ(fetched_.size(), 11u);
  EXPECT_EQ(Value("html"), "http://loop.example/1");
}

}  // namespace
}  // namespace korvo

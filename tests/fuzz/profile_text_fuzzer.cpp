// Any bytes as a profile file: parsing keeps the text, and a written key can always be read back.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "shell/profile_text.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);

  korvo::ProfileText<char> text;
  text.Parse(bytes);
  if (text.Serialize() != bytes) std::abort();
  for (const std::string& section : text.SectionNames()) {
    for (const std::string& key : text.KeyNames(section)) {
      if (!text.Find(section, key)) std::abort();
    }
  }
  text.Set("app_data", "iFlag", "135996");
  text.RemoveSection("search_window");
  korvo::ProfileText<char> again;
  again.Parse(text.Serialize());
  auto value = again.Find("APP_DATA", "iflag");
  if (!value || *value != "135996") std::abort();

  std::u16string units;
  for (size_t i = 0; i + 1 < size; i += 2) {
    units.push_back(static_cast<char16_t>(data[i] | (data[i + 1] << 8)));
  }
  korvo::ProfileText<char16_t> wide;
  wide.Parse(units);
  if (wide.Serialize() != units) std::abort();
  wide.Set(u"skin", u"width", u"400");
  korvo::ProfileText<char16_t> wide_again;
  wide_again.Parse(wide.Serialize());
  auto width = wide_again.Find(u"SKIN", u"Width");
  if (!width || *width != u"400") std::abort();
  return 0;
}

#include "server/builtin_documents.h"

#include <cstddef>
#include <string_view>

#include "platform/code_page.h"

namespace korvo {

// Generated from res/index.html and res/style.css (cmake/embed_text.cmake), UTF-8.
extern const unsigned char kBuiltinIndexUtf8[];
extern const std::size_t kBuiltinIndexUtf8_size;
extern const unsigned char kBuiltinStyleUtf8[];
extern const std::size_t kBuiltinStyleUtf8_size;

namespace {

std::string FromUtf8(const unsigned char* bytes, std::size_t size) {
  return platform::Utf8ToCp932(std::string_view(reinterpret_cast<const char*>(bytes), size));
}

}  // namespace

const std::string& BuiltinIndexDocument() {
  static const std::string document = FromUtf8(kBuiltinIndexUtf8, kBuiltinIndexUtf8_size);
  return document;
}

const std::string& BuiltinStyleSheet() {
  static const std::string sheet = FromUtf8(kBuiltinStyleUtf8, kBuiltinStyleUtf8_size);
  return sheet;
}

}  // namespace korvo

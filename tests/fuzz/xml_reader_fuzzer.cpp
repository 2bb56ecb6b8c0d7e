// Reads arbitrary bytes as a file, a memory and an HTML-fragment document, converts them as feed
// bytes, and writes and re-reads the trees. Checks that the trees are linked consistently, that
// converted feed text holds no NUL and no lead byte without its trail byte, and that no node
// text holds a NUL.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>

#include "feed/feed_encoding.h"
#include "feed/xml_document.h"
#include "platform/code_page.h"
#include "platform/files.h"

namespace {

void Check(bool condition) {
  if (!condition) std::abort();
}

// Walks the whole tree without recursion (hostile inputs nest deeply).
void CheckTree(const korvo::XmlDocument& document) {
  const korvo::XmlNode* node = document.root();
  Check(node == nullptr || (node->parent == nullptr && node->previous == nullptr));
  while (node != nullptr) {
    Check(node->value.find('\0') == std::string::npos);
    Check(node->kind != korvo::XmlKind::kEnd && node->kind != korvo::XmlKind::kDeclaration);
    if (node->next != nullptr) {
      Check(node->next->previous == node && node->next->parent == node->parent);
    }
    if (node->first_child != nullptr) {
      Check(node->kind == korvo::XmlKind::kElement);
      Check(node->first_child->parent == node && node->first_child->previous == nullptr);
      node = node->first_child;
      continue;
    }
    while (node != nullptr && node->next == nullptr) node = node->parent;
    if (node != nullptr) node = node->next;
  }
}

void CheckInternalText(const std::string& text) {
  for (size_t i = 0; i < text.size(); ++i) {
    const auto b = static_cast<unsigned char>(text[i]);
    Check(b != 0);
    if (korvo::platform::IsCp932LeadByte(b)) {
      Check(i + 1 < text.size());
      const auto t = static_cast<unsigned char>(text[++i]);
      Check((t >= 0x40 && t <= 0x7E) || (t >= 0x80 && t <= 0xFC));
    }
  }
}

const std::string& TempPath() {
  static const std::string path = [] {
    std::random_device random;
    return (std::filesystem::temp_directory_path() /
            ("korvo_xml_fuzz_" + std::to_string(random()) + ".xml"))
        .generic_u8string();
  }();
  return path;
}

void ReadWriteRead(const korvo::XmlDocument& document) {
  CheckTree(document);
  const std::string text = document.Write();
  CheckTree(korvo::XmlDocument::FromMemory(text));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string input(reinterpret_cast<const char*>(data), size);

  ReadWriteRead(korvo::XmlDocument::FromMemory(input));
  ReadWriteRead(korvo::XmlDocument::FromHtmlFragment(input));

  const std::string converted = korvo::FeedBytesToInternal(input);
  CheckInternalText(converted);
  korvo::XmlDocument feed = korvo::XmlDocument::FromMemory(converted);
  ReadWriteRead(feed);
  if (korvo::XmlNode* root = feed.root()) {
    korvo::XmlDocument copy;
    korvo::XmlNode* top = copy.CopySubtree(*root);
    copy.InsertAfter(top, nullptr, nullptr);
    copy.Remove(top, /*keep_children=*/true);
    CheckTree(copy);
  }

  if (korvo::platform::WriteWholeFile(TempPath(), input)) {
    const korvo::XmlDocument file = korvo::XmlDocument::FromFile(TempPath());
    ReadWriteRead(file);
    korvo::platform::RemoveFile(TempPath());
  }
  return 0;
}

#include "store/legacy_import.h"

#include <array>
#include <vector>

#include "platform/code_page.h"
#include "platform/files.h"
#include "store/database_guard.h"
#include "store/little_endian.h"

namespace korvo {

using platform::File;

namespace {

constexpr uint32_t kHeaderSize = 64;
constexpr uint32_t kRecordWords = 16;
constexpr uint32_t kMaxRecordSize = 65536;

enum StringFile { kUrl, kComment, kTitle, kRss, kInfo, kDescription, kSubelement, kTrackback };
constexpr const char* kStringFiles[] = {"url.dat",        "comment.dat",  "title.dat",
                                        "rss.dat",        "info.dat",     "description.dat",
                                        "subelement.dat", "trackback.dat"};

std::string ImportTitle() {
  return platform::Utf8ToCp932(u8"KorvoNewsReader データベースを移行中...");
}

// Reads the string at `offset` of `file` up to the first 0x00 or 0xFF byte. `*next` (may be
// null) receives the offset after that byte. Missing file, offset past the end: empty.
std::string ReadLegacyString(const File& file, uint64_t offset, uint64_t* next) {
  std::string text;
  if (next != nullptr) *next = offset;
  if (!file.is_open()) return text;
  char chunk[4096];
  for (;;) {
    const int64_t got = file.ReadAt(offset + text.size(), chunk, sizeof chunk);
    if (got <= 0) break;
    for (int64_t i = 0; i < got; ++i) {
      const unsigned char c = static_cast<unsigned char>(chunk[i]);
      if (c == 0x00 || c == 0xFF) {
        text.append(chunk, static_cast<size_t>(i));
        if (next != nullptr) *next = offset + text.size() + 1;
        if (text.size() > kLegacyStringLimit) text.resize(kLegacyStringLimit);
        return text;
      }
    }
    text.append(chunk, static_cast<size_t>(got));
    if (text.size() >= kLegacyStringLimit) break;
  }
  // No terminator before the end of the file (or the limit).
  if (next != nullptr) *next = offset + text.size();
  if (text.size() > kLegacyStringLimit) text.resize(kLegacyStringLimit);
  return text;
}

std::u16string LegacyText(const File& file, uint32_t offset) {
  if (offset == 0) return std::u16string();
  return platform::Cp932ToUtf16(ReadLegacyString(file, offset, nullptr));
}

}  // namespace

int ConvertLegacyRecords(const std::string& folder, ProgressProvider* provider,
                         std::unique_ptr<Progress>* display) {
  const std::string base = (folder.empty() ? std::string(".") : folder) + "/database/";
  File table;
  if (!table.Open(base + "newsdata.dat", File::Mode::kRead)) return -1;
  DatabaseGuard guard(folder.empty() ? std::string(".") : folder);
  ScopedDatabase db(guard);
  if (!db) return -1;

  std::array<File, 8> strings;
  for (size_t i = 0; i < strings.size(); ++i) {
    const std::string path = base + kStringFiles[i];
    if (!platform::FileExists(path)) platform::WriteWholeFile(path, std::string(" \0", 2));
    strings[i].Open(path, File::Mode::kRead);
  }

  unsigned char header[kHeaderSize] = {};
  table.ReadAt(0, header, sizeof header);
  uint32_t record_size = store_bytes::GetWord(header + 4);
  // Only 64 was ever written; a size that cannot hold the 16 words, or an absurd one, is damage.
  if (record_size < kRecordWords * 4 || record_size > kMaxRecordSize) record_size = 64;
  const int64_t file_size = table.Size();
  const uint64_t size = file_size > 0 ? static_cast<uint64_t>(file_size) : 0;
  const uint32_t count =
      size > kHeaderSize ? static_cast<uint32_t>((size - kHeaderSize) / record_size) : 0;
  Progress* shown = display != nullptr ? display->get() : nullptr;
  if (shown != nullptr) shown->SetRange(count);

  db->ClearAll();
  db->BeginBatch(BlockStore::kBatchReadWrite);
  int result = 0;
  unsigned char record[kRecordWords * 4];
  for (uint64_t offset = kHeaderSize; offset + record_size <= size; offset += record_size) {
    NewsItem item;
    if (table.ReadAt(offset, record, sizeof record) == static_cast<int64_t>(sizeof record)) {
      uint32_t w[kRecordWords];
      for (uint32_t i = 0; i < kRecordWords; ++i) w[i] = store_bytes::GetWord(record + 4 * i);
      item.link = LegacyText(strings[kUrl], w[2]);
      item.title = LegacyText(strings[kTitle], w[3]);
      item.rss = LegacyText(strings[kRss], w[4]);
      item.get_day = PackedDate::FromPacked(w[5]);
      item.last_seen = PackedDate::FromPacked(w[6]);
      item.check_day = PackedDate::FromPacked(w[7]);
      item.comment = LegacyText(strings[kComment], w[8]);
      item.flags = w[9];
      item.create_day = PackedDate::FromPacked(w[10]);
      if (w[11] != 0) {
        uint64_t at = w[11];
        for (std::u16string* text : {&item.site, &item.site_link, &item.category, &item.author}) {
          *text = platform::Cp932ToUtf16(ReadLegacyString(strings[kInfo], at, &at));
        }
      }
      item.description = LegacyText(strings[kDescription], w[12]);
      item.subelement = LegacyText(strings[kSubelement], w[13]);
      // Failures are not reported: the conversion goes on with the next record.
      db->AddItem(&item, nullptr);
    }
    if (shown != nullptr) shown->Step();

    if (shown != nullptr && !shown->IsOpen()) {
      if (provider == nullptr || provider->ConfirmStop()) {
        db->ClearAll();
        result = -1;
        break;
      }
      *display = provider->Start(ImportTitle());
      shown = display->get();
      if (shown != nullptr) {
        shown->SetRange(count);
        shown->SetPosition(static_cast<uint32_t>(offset / record_size));
      }
    }
  }
  db->EndBatch();
  db->SaveTable();
  return result;
}

int ImportLegacyDatabase(const std::string& folder, ProgressProvider* provider) {
  const std::string root = folder.empty() ? std::string(".") : folder;
  const std::string table = root + "/database/newsdata.dat";
  {
    File probe;
    if (!probe.Open(table, File::Mode::kRead)) return 1;
  }
  std::unique_ptr<Progress> display;
  if (provider != nullptr) display = provider->Start(ImportTitle());
  const std::string marker = root + "/err.txt";
  if (!platform::FileExists(marker)) platform::WriteWholeFile(marker, "");
  platform::RemoveFile(root + "/dump.dat");

  const int result = ConvertLegacyRecords(root, provider, &display);
  if (result == 0) {
    // An older backup is replaced: if the rename failed, every start would empty the database
    // and convert again.
    platform::RenameFile(table, root + "/database/newsdata.bak", true);
    platform::RemoveFile(marker);
  }
  if (display) display->Close();
  return result;
}

}  // namespace korvo

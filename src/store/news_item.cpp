#include "store/news_item.h"

#include <algorithm>

#include "store/little_endian.h"

namespace korvo {

std::u16string NewsItem::*const NewsItem::kTexts[NewsItem::kTextCount] = {
    &NewsItem::link,       &NewsItem::title,     &NewsItem::rss,    &NewsItem::site,
    &NewsItem::site_link,  &NewsItem::category,  &NewsItem::author, &NewsItem::description,
    &NewsItem::subelement, &NewsItem::trackback, &NewsItem::comment};

namespace {

size_t TextLength(const std::u16string& s) {
  const size_t nul = s.find(u'\0');
  return nul == std::u16string::npos ? s.size() : nul;
}

}  // namespace

size_t StoredLength(const NewsItem& item) {
  size_t length = kMinStoredLength;
  for (auto field : NewsItem::kTexts) length += 2 * TextLength(item.*field);
  return length;
}

size_t BuildStoredForm(const NewsItem& item, uint32_t block_size, std::vector<unsigned char>* out) {
  const size_t length = StoredLength(item);
  const size_t bs = block_size == 0 ? 1 : block_size;
  const size_t blocks = (length + bs - 1) / bs;
  out->assign(blocks * bs, 0);
  unsigned char* p = out->data();
  const uint32_t words[8] = {
      item.number,           item.link_hash, item.get_day.packed,    item.last_seen.packed,
      item.check_day.packed, item.flags,     item.create_day.packed, item.reserved};
  for (uint32_t w : words) {
    store_bytes::PutWord(p, w);
    p += 4;
  }
  for (auto field : NewsItem::kTexts) {
    const std::u16string& s = item.*field;
    const size_t n = TextLength(s);
    for (size_t i = 0; i < n; ++i) {
      p[0] = static_cast<unsigned char>(s[i]);
      p[1] = static_cast<unsigned char>(s[i] >> 8);
      p += 2;
    }
    p += 2;  // the terminator, already zero
  }
  return length;
}

size_t ParseStoredForm(const unsigned char* bytes, size_t size, NewsItem* item) {
  if (bytes == nullptr || size < kMinStoredLength) return 0;
  uint32_t words[8];
  for (int i = 0; i < 8; ++i) words[i] = store_bytes::GetWord(bytes + 4 * i);
  NewsItem parsed;
  parsed.number = words[0];
  parsed.link_hash = words[1];
  parsed.get_day = PackedDate::FromPacked(words[2]);
  parsed.last_seen = PackedDate::FromPacked(words[3]);
  parsed.check_day = PackedDate::FromPacked(words[4]);
  parsed.flags = words[5];
  parsed.create_day = PackedDate::FromPacked(words[6]);
  parsed.reserved = words[7];
  size_t pos = 32;
  for (auto field : NewsItem::kTexts) {
    // Find the terminator of this string inside the bytes.
    size_t end = pos;
    while (end + 1 < size && (bytes[end] | bytes[end + 1]) != 0) end += 2;
    if (end + 1 >= size) return 0;
    std::u16string& s = parsed.*field;
    s.resize((end - pos) / 2);
    for (size_t i = 0; i < s.size(); ++i) {
      s[i] = static_cast<char16_t>(bytes[pos + 2 * i] | bytes[pos + 2 * i + 1] << 8);
    }
    pos = end + 2;
  }
  *item = std::move(parsed);
  return pos;
}

}  // namespace korvo

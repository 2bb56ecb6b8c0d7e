#include "channels/channel_texts.h"

#include <array>

#include "platform/code_page.h"

namespace korvo {

namespace {

// UTF-8 sources of the texts, in the order of ChannelText.
constexpr const char* kUtf8Texts[] = {
    u8"KorvoNewsReader チャンネルリストを移行中...",
    u8"同じアイテム %s があります。上書きしますか？",
    u8"同じサイト名 %s があります。上書きしますか？",
    u8"フォルダ %s を削除しますか？",
    u8"%s を削除しますか？",
    u8"確認",
    "KorvoNewsReader",
    u8"チャンネルリストは変更されています。更新しますか？",
    "Channel",
    u8"無効なアドレスです。",
    u8"エラー",
    u8"ファイル取得に失敗しました。",
    u8"すべてのチャンネル",
    "OPML(*.opml,*.xml)",
    u8"UrlList のチャンネルを移行しました。",
    u8"フィードを取得できたもの: %s",
    u8"取得できずアドレスのまま登録したもの: %s（フィードが取得されると題名が付きます）",
    u8"フィードではないため外したもの: %s（UrlList_bk.bak に残っています）",
};
constexpr size_t kTextCount = sizeof(kUtf8Texts) / sizeof(kUtf8Texts[0]);
static_assert(kTextCount == static_cast<size_t>(ChannelText::kUrlListDropped) + 1,
              "one text per ChannelText");

}  // namespace

const std::string& GetChannelText(ChannelText id) {
  static const std::array<std::string, kTextCount> texts = [] {
    std::array<std::string, kTextCount> converted;
    for (size_t i = 0; i < kTextCount; ++i) converted[i] = platform::Utf8ToCp932(kUtf8Texts[i]);
    return converted;
  }();
  return texts[static_cast<size_t>(id)];
}

std::string FormatText(std::string_view format, std::string_view argument) {
  const size_t at = format.find("%s");
  if (at == std::string_view::npos) return std::string(format);
  std::string text(format.substr(0, at));
  text.append(argument);
  text.append(format.substr(at + 2));
  return text;
}

}  // namespace korvo

// The user-facing texts of the channel list, in CP932 (converted once from the UTF-8 source).
//
// Texts with "%s" take one argument through FormatText, which substitutes it literally (a "%" in
// the argument is never interpreted).
#ifndef KORVO_CHANNELS_CHANNEL_TEXTS_H_
#define KORVO_CHANNELS_CHANNEL_TEXTS_H_

#include <string>
#include <string_view>

namespace korvo {

enum class ChannelText {
  kMigrationProgressTitle,  // "KorvoNewsReader チャンネルリストを移行中..."
  kSameItemOverwrite,       // "同じアイテム %s があります。上書きしますか？"
  kSameSiteOverwrite,       // "同じサイト名 %s があります。上書きしますか？"
  kDeleteFolder,            // "フォルダ %s を削除しますか？"
  kDeleteItem,              // "%s を削除しますか？"
  kConfirmCaption,          // "確認"
  kProgramCaption,          // "KorvoNewsReader"
  kChannelListChanged,  // "チャンネルリストは変更されています。更新しますか？"
  kChannelCaption,      // "Channel"
  kInvalidAddress,      // "無効なアドレスです。"
  kErrorCaption,        // "エラー"
  kFetchFailed,         // "ファイル取得に失敗しました。"
  kAllChannels,         // "すべてのチャンネル"
  kOpmlFilter,          // "OPML(*.opml,*.xml)"
  // The closing message of a UrlList conversion that kept or dropped addresses; "%s" in each
  // line is a number, or the dropped addresses.
  kUrlListConverted,  // "UrlList のチャンネルを移行しました。"
  kUrlListFetched,    // "フィードを取得できたもの: %s"
  kUrlListKept,  // "取得できずアドレスのまま登録したもの: %s（フィードが取得されると...）"
  kUrlListDropped,  // "フィードではないため外したもの: %s（UrlList_bk.bak に残っています）"
};

// The text in CP932. Thread-safe; the reference stays valid for the life of the process.
const std::string& GetChannelText(ChannelText id);

// `format` with its first "%s" replaced by `argument` (CP932 both).
std::string FormatText(std::string_view format, std::string_view argument);

}  // namespace korvo

#endif  // KORVO_CHANNELS_CHANNEL_TEXTS_H_

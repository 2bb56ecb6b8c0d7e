#include "shell/message_catalog.h"

#include "platform/app_folders.h"
#include "platform/code_page.h"

namespace korvo {

namespace {

struct Entry {
  const char* japanese;  // UTF-8 here; converted to CP932 once per catalog
  const char* english;
};

// clang-format off
constexpr Entry kEntries[MessageCatalog::kEntryCount] = {
    {u8"KorvoNewsReaderはすでに起動しています。\r\n\r\nポジションを元に戻す場合はOKを押して下さい。",
     "KorvoNewsReader is already existing.\r\n\r\nif you want to fix the position, push OK."},
    {u8"スキンをインストールしますか？",
     "install new skin?"},
    {u8"同じスキンがあります。上書きしますか？",
     "this skin name is alrady existing.overwrite this skin?"},
    {u8"新しいスキンがインストールされました。",
     "added new skin."},
    {u8"スキンのインストールに失敗しました。",
     "fail add new skin"},
    {u8" を追加しました。",
     " is added to skin directory"},
    {u8"追加",
     "add"},
    {u8"この記事をマーク",
     "mark this item"},
    {u8"書込",
     "write"},
    {u8"ブラウザ",
     "browser"},
    {u8"書き込みました。",
     "done"},
    {u8"サイト",
     "site"},
    {u8"タイトル",
     "title"},
    {u8"カテゴリー",
     "category"},
    {u8"作成者",
     "author"},
    {u8"取得日",
     "get day"},
    {u8"チェック日",
     "check day"},
    {u8"URL",
     "url"},
    {u8"作成日",
     "create day"},
    {u8"コメント",
     "comment"},
    {u8"概要",
     "description"},
    {u8"既読の日付は上書きできません。\r\n一度、未読にしてから実行してください。",
     "Error\r\ncode 21"},
    {u8"コメントがある場合、未読にできません。\r\nコメントを削除してから未読にしてください",
     "Error\r\ncode 22"},
    {u8"一覧を表示",
     "show all"},
    {u8"データベースの移行作業まだ途中です。\r\n本当に終了しますか？\r\n（ここで終了しても次回起動時に再開されます。\r\n移行しない場合はdatabaseフォルダ内の*.datファイルをすべて削除してください。）",
     "stop?"},
};
// clang-format on

}  // namespace

MessageCatalog::MessageCatalog(int language_id) : language_id_(language_id) {
  for (int i = 0; i < kEntryCount; ++i) {
    texts_[i] = japanese() ? platform::Utf8ToCp932(kEntries[i].japanese) : kEntries[i].english;
  }
}

MessageCatalog MessageCatalog::ForSystem() {
  return MessageCatalog(platform::SystemDefaultLanguage());
}

const std::string& MessageCatalog::Text(int index) const {
  return texts_[(index >= 0 && index < kEntryCount) ? index : 0];
}

int MessageCatalog::DialogResource(int id) const { return (id == 191 && !japanese()) ? 192 : id; }

int MessageCatalog::MainMenuResource() const { return japanese() ? 109 : 156; }

}  // namespace korvo

#!/usr/bin/env bash
# End to end: the browse window of korvo.exe under Wine on a virtual display, driven by
# korvoctl.exe, over a store filled from a local feed server (python3 http.server on 127.0.0.1).
#
#   1. Command 32805 opens the window ("NewsBrowseWindow"); it lists the day's five items.
#   2. Selecting a row shows it in the summary; the memo editor writes a comment ("書き込みました。"
#      titled "memo") that the list shows.
#   3. Marking read twice and marking a commented item unread are refused with the two messages;
#      a marked item read today is listed under the kind "マーク"; the "更新" button updates
#      behind its dialog and lists today's items of every kind again.
#   4. The search for 見出し finds the five items; the status bar says "見出し を検索：5件".
#   5. "HTML出力" writes checkedurl.html with the search header and escaped feed texts; when the
#      file cannot be written the user is told ("checkedurl.html を書き込めませんでした。").
#   6. Opening an item in the user's browser hands it the link and marks the item read; opening
#      one in a tab gives a browser tab, which says "初期化に失敗" (no HTML engine in this prefix).
#   7. The channel dialog (command 32779) adds a channel whose properties name Basic credentials;
#      OK writes the credentials file and channel.opml, and the next update sends the credentials.
#   8. The ticker menu's favourites submenu opens with the sites of the new fav.opml (screenshot);
#      choosing the first hands its address to the user's browser (here cmd.exe writing a file).
#   9. Both collapse buttons hide their panes; the states survive closing the window and a
#      restart of the program; the button opens the pane again.
#  The ticker stays still while the window is open, also after the channel dialog and the ticker
#  menu (which resume it when the window is closed), and scrolls again once the window closes.
# Screenshots go to build/win64/e2e/ (browse_*.png). Usage: tests/e2e/browse_window_e2e.sh
set -uo pipefail
. "$(dirname "$0")/lib/wine_e2e.sh"
e2e_start browse_window_e2e 300

# --- Inside the virtual display ---
work=$out/browse_window
rm -rf "$work"
mkdir -p "$work/program" "$work/site"
pids=()
cleanup() {
  local p
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null; done
}
trap cleanup EXIT

fail() {
  echo "browse_window_e2e: FAIL: $*" >&2
  shot browse_failure
  exit 1
}
# until_ok <tries> <command...>: runs the command every 0.2 s until it succeeds (the command is
# run anew each time, so it must read what it checks itself: the helpers below).
until_ok() {
  local tries=$1
  shift
  for _ in $(seq "$tries"); do "$@" && return 0; sleep 0.2; done
  return 1
}

F=NewsBrowseWindow
LIST=201/104
program=$work/program
cp "$build/korvo.exe" "$program/"

# The feed: five items with Japanese titles, one with characters HTML reserves in its title.
{
  printf '<?xml version="1.0" encoding="UTF-8"?>\n<rss version="2.0"><channel>'
  printf '<title>テストサイト</title><link>http://127.0.0.1/</link>'
  for i in 1 2 3 4; do
    printf '<item><title>見出し %d</title><link>http://example.invalid/%d</link>' "$i" "$i"
    printf '<description>概要 %d の本文</description><category>技術</category></item>' "$i"
  done
  printf '<item><title>見出し 5 &amp; "引用"</title>'
  printf '<link>http://example.invalid/5?a=1&amp;b=2</link></item>'
  printf '</channel></rss>\n'
} >"$work/site/feed.xml"
port=$(python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
# The server logs each request with the Authorization header it carried ("auth=-" when none).
cp "$work/site/feed.xml" "$work/site/private.xml"
python3 - "$port" "$work/site" >/dev/null 2>"$work/feed_server.log" <<'PY' &
import functools, http.server, sys
class Handler(http.server.SimpleHTTPRequestHandler):
    def log_message(self, form, *args):
        sys.stderr.write("%s auth=%s\n" % (form % args, self.headers.get("Authorization", "-")))
        sys.stderr.flush()
handler = functools.partial(Handler, directory=sys.argv[2])
http.server.ThreadingHTTPServer(("127.0.0.1", int(sys.argv[1])), handler).serve_forever()
PY
pids+=("$!")
printf '<?xml version="1.0" encoding="UTF-8"?>\n<opml version="1.0"><body><outline text="テストサイト" xmlUrl="http://127.0.0.1:%d/feed.xml"/></body></opml>\n' \
  "$port" >"$program/channel.opml"

start_korvo() {
  (cd "$program" && exec timeout 240 wine ./korvo.exe) &
  korvo_pid=$!
  pids+=("$korvo_pid")
  ctl wait-window 30000 >/dev/null || fail "no main window"
}
stop_korvo() {
  ctl close >/dev/null
  wait "$korvo_pid" || fail "korvo.exe ended with an error"
}
list_count() { ctl list-items "$F" "$LIST" 2 | sed -n 's/^count=//p'; }
count_is() { [ "$(list_count)" = "$1" ]; }
text_is() { [ "$(ctl win-text "$F" "$1")" = "$2" ]; }
visible_is() { [ "$(ctl visible "$F" "$1")" = "$2" ]; }
status_is() { [ "$(ctl status-text "$F" 105 1)" = "$1" ]; }
cell_set() { [ -n "$(ctl list-items "$F" "$LIST" "$2" | sed -n "$(( $1 + 2 ))p")" ]; }
first_comment() { ctl list-items "$F" "$LIST" 9 | sed -n 2p; }
comment_is() { [ "$(first_comment)" = "$1" ]; }
tabs_are() { [ "$(ctl win-send "$F" 202/300 0x1304)" = "$1" ]; }
open_browse() {
  ctl post 273 32805 0 >/dev/null || fail "command 32805 could not be posted"
  ctl find-window "$F" 20000 >/dev/null || fail "no browse window"
}

# The user's browser (general flag bit 31) is cmd.exe writing the link it is given to a file.
opened=$work/opened.txt
printf '[app_data]\r\niFlag=%d\r\nbrowser_path=C:\\windows\\system32\\cmd.exe\r\nbrowser_option=/c echo %%s> %s\r\n' \
  $(( 135996 | (1 << 31) )) "$(winepath -w "$opened" 2>/dev/null)" >"$program/setup.ini"

start_korvo
until_ok 150 grep -q 'GET /feed.xml' "$work/feed_server.log" || fail "the feed was not fetched"
sleep 2

# 1. The day's items.
open_browse
until_ok 100 count_is 5 || fail "the list shows $(list_count) items, not 5"
titles=$(ctl list-items "$F" "$LIST" 2 | tail -n +2 | LC_ALL=C sort | tr '\n' ,)
[ "$titles" = '見出し 1,見出し 2,見出し 3,見出し 4,見出し 5 & "引用",' ] ||
  fail "list titles: $titles"
ok "command 32805 opens the browse window with the day's five items"
shot browse_day

# 2. Summary and memo.
ctl list-select "$F" "$LIST" 0 >/dev/null
row_title=$(ctl list-items "$F" "$LIST" 2 | sed -n 2p)
until_ok 50 text_is 202/301/1311 "$row_title" ||
  fail "the summary shows '$(ctl win-text "$F" 202/301/1311)' for '$row_title'"
[[ "$(ctl win-text "$F" 202/301/1314)" =~ ^[0-9]{4}-[0-9]{2}-[0-9]{2}T[0-9]{2}:[0-9]{2}:00[+-][0-9]{2}:[0-9]{2}$ ]] ||
  fail "get day not in W3C-DTF: $(ctl win-text "$F" 202/301/1314)"
ok "the selected item is shown in the summary, dates in W3C-DTF"
shot browse_summary
ctl win-post "$F" . 273 32802 >/dev/null
ctl set-text "$F" 202/403/104 "メモの一行目" >/dev/null || fail "no memo editor"
ctl click "$F" 202/403/101 >/dev/null
box=$(ctl answer-box none 10000 memo) || fail "no memo message"
shot browse_memo
[[ "$box" == *"書き込みました。"* ]] || fail "memo message: $box"
ctl answer-box ok 10000 memo >/dev/null
until_ok 25 comment_is "メモの一行目" || fail "the list's comment: '$(first_comment)'"
ok "the memo editor writes the comment and the list shows it"

# 3. The two refusals.
ctl win-post "$F" . 273 32799 >/dev/null
box=$(ctl answer-box none 10000 KorvoNewsReader) || fail "no refusal for a commented item"
shot browse_refused_unread
ctl answer-box ok 10000 KorvoNewsReader >/dev/null
[[ "$box" == *"コメントがある場合、未読にできません。"* ]] || fail "unread refusal: $box"
ctl list-select "$F" "$LIST" 1 >/dev/null
ctl win-post "$F" . 273 32800 >/dev/null
until_ok 25 cell_set 1 6 || fail "not marked read"
ctl win-post "$F" . 273 32800 >/dev/null
box=$(ctl answer-box none 10000 KorvoNewsReader) || fail "no refusal for a second read mark"
shot browse_refused_read
ctl answer-box ok 10000 KorvoNewsReader >/dev/null
[[ "$box" == *"既読の日付は上書きできません。"* ]] || fail "read refusal: $box"
ok "marking read twice and marking a commented item unread are refused with their messages"
ctl win-post "$F" . 273 32801 >/dev/null
sleep 0.5
shot browse_marked
ctl win-send "$F" 200/102 0x14E 4 >/dev/null  # the kind "マーク"
ctl win-post "$F" 200 273 $(( (1 << 16) | 102 )) >/dev/null
until_ok 50 count_is 1 || fail "the marked items read today: $(list_count), not 1"
ok "marking an item lists it under the kind マーク"

# The "更新" button: an update run with the dialog "更新中", after which the list shows today's
# items of every kind again.
fetches() { grep -c 'GET /feed.xml' "$work/feed_server.log"; }
kind_is() { [ "$(ctl win-send "$F" 200/102 0x147)" = "$1" ]; }
before=$(fetches)
ctl win-post "$F" 200 273 210 >/dev/null
until_ok 150 kind_is 0 || fail "the kind after the update: $(ctl win-send "$F" 200/102 0x147)"
until_ok 50 count_is 5 || fail "after the update: $(list_count) items"
[ "$(fetches)" -gt "$before" ] || fail "the update fetched nothing"
gone() { ! ctl find-window "$1" 0 >/dev/null; }
gone '#32770' || fail "the update dialog is still open"
ok "更新 runs an update behind its dialog and lists today's items of every kind again"

# 4. The search.
ctl set-text "$F" 200/108 "見出し" >/dev/null
ctl win-post "$F" . 273 109 >/dev/null
until_ok 100 status_is "見出し を検索：5件" ||
  fail "status after the search: $(ctl status-text "$F" 105 1)"
[ "$(list_count)" = 5 ] || fail "the search lists $(list_count) items"
ok "the search finds the five items and says so in the status bar"
shot browse_search

# 5. The list page. First one that cannot be written (a folder holds its name): the user is told
# and nothing is opened (before the shell opens a written page, which would race with the folder).
mkdir "$program/checkedurl.html"
ctl win-post "$F" . 273 32831 >/dev/null
box=$(ctl answer-box none 10000 エラー) || fail "no message for a page that cannot be written"
shot browse_page_not_written
ctl answer-box ok 10000 エラー >/dev/null
[[ "$box" == *"checkedurl.html を書き込めませんでした。"* ]] || fail "page failure message: $box"
rmdir "$program/checkedurl.html"
ok "a list page that cannot be written is told to the user and not opened"
ctl win-post "$F" . 273 32831 >/dev/null
until_ok 50 test -s "$program/checkedurl.html" || fail "checkedurl.html was not written"
page=$(iconv -f CP932 -t UTF-8 "$program/checkedurl.html")
[[ "$page" == *'<div class="daytime">見出し&nbsp;を検索</div>'* ]] || fail "no search header"
[[ "$page" == *'見出し 5 &amp; &quot;引用&quot;</a>'* ]] || fail "title not escaped"
[[ "$page" == *'href = "http://example.invalid/5?a=1&amp;b=2"'* ]] || fail "link not escaped"
ok "HTML出力 writes checkedurl.html with the search header and escaped texts"

# 6. An unread item opened in the user's browser is marked read; then one opened in a tab.
ctl list-select "$F" "$LIST" 2 >/dev/null
link=$(ctl list-items "$F" "$LIST" 7 | sed -n 4p)
[ -z "$(ctl list-items "$F" "$LIST" 6 | sed -n 4p)" ] || fail "row 2 was read already"
ctl win-post "$F" . 273 32803 >/dev/null  # ブラウザで開く
until_ok 50 grep -qF "\"$link\"" "$opened" ||
  fail "the item's link '$link' did not reach the browser: $(cat "$opened" 2>/dev/null)"
until_ok 25 cell_set 2 6 || fail "the item opened is not marked read"
ok "an item opened in the user's browser gets its link and is marked read"
ctl list-select "$F" "$LIST" 0 >/dev/null
ctl win-post "$F" . 273 32839 >/dev/null
until_ok 50 tabs_are 3 || fail "no browser tab"
# This prefix has no HTML engine (mshtml is disabled), so the tab says the view failed.
[ "$(ctl win-text "$F" 202/500/109)" = "初期化に失敗" ] ||
  fail "the tab without an HTML engine shows '$(ctl win-text "$F" 202/500/109)'"
[ "$(ctl win-text "$F" 202/500/108)" = "$(ctl list-items "$F" "$LIST" 7 | sed -n 2p)" ] ||
  fail "the tab's address field: $(ctl win-text "$F" 202/500/108)"
shot browse_tab
ok "IEコンポーネントで開く opens a tab that says 初期化に失敗 without an HTML engine; the rest works"

# 7. The channel dialog: a channel added with Basic credentials (the properties dialog and its
# "認証..." dialog); OK writes the credentials file, and the next update's request carries them.
top_dialog_is() { ctl find-window '#32770' 0 | grep -q "^title=$1 "; }
ctl post 273 32779 0 >/dev/null
until_ok 50 top_dialog_is チャンネル編集 || fail "no channel dialog"
sleep 0.5
shot browse_channel_dialog
ctl win-post '#32770' . 273 1101 >/dev/null  # チャンネル追加
until_ok 50 top_dialog_is プロパティ || fail "no properties dialog"
ctl set-text '#32770' 1001 "認証付きサイト" >/dev/null
ctl set-text '#32770' 1002 "http://127.0.0.1:$port/private.xml" >/dev/null
ctl win-send '#32770' 1017 0x14E 1 >/dev/null                        # リクエスト: basic
ctl win-post '#32770' . 273 $(( (1 << 16) | 1017 )) >/dev/null       # CBN_SELCHANGE
ctl win-post '#32770' . 273 1018 >/dev/null                          # 認証...
until_ok 50 top_dialog_is 認証 || fail "no authentication dialog"
ctl set-text '#32770' 1001 "reader" >/dev/null
ctl set-text '#32770' 1002 "s3cret" >/dev/null
shot browse_authentication
ctl win-post '#32770' . 273 1 >/dev/null
until_ok 50 top_dialog_is プロパティ || fail "the authentication dialog did not close"
rm -f "$program/password"
ctl win-post '#32770' . 273 1 >/dev/null
until_ok 50 top_dialog_is チャンネル編集 || fail "the properties dialog did not close"
[ -s "$program/password" ] || fail "the credentials file was not written"
ctl win-post '#32770' . 273 1 >/dev/null
until_ok 25 gone '#32770' || fail "the channel dialog did not close"
# The ticker stays paused while the browse window is open, the channel dialog's end included.
ticker_moved() {  # the pixels of the ticker's strip that change in 1.5 s
  import -window root -crop 1280x30+0+0 +repage "$work/ticker_a.png" 2>/dev/null
  sleep 1.5
  import -window root -crop 1280x30+0+0 +repage "$work/ticker_b.png" 2>/dev/null
  compare -metric AE "$work/ticker_a.png" "$work/ticker_b.png" null: 2>&1
}
moved=$(ticker_moved)
[ "$moved" = 0 ] || fail "the ticker moved ($moved pixels) after the channel dialog"
grep -q 'xmlUrl = "http://127.0.0.1:'"$port"'/private.xml" authorization = "basic"' "$program/channel.opml" ||
  fail "channel.opml lacks the new channel"
ctl post 273 32879 0 >/dev/null  # 今すぐ更新 (OK fetches only with general flag bit 30)
auth="auth=Basic $(printf 'reader:s3cret' | base64)"
until_ok 150 grep -q "GET /private.xml.* $auth\$" "$work/feed_server.log" ||
  fail "no request with the credentials: $(grep private.xml "$work/feed_server.log" | tail -n 1)"
ok "command 32779's channel dialog adds a channel with Basic credentials; the update sends them"
# 8. The favourites submenu (entry 23 of the ticker menu), opened with its mnemonic "V".
popup_count() { ctl popups | sed -n 's/^count=//p'; }
popups_are() { [ "$(popup_count)" = "$1" ]; }
ctl post 1158 0 0 >/dev/null
until_ok 50 popups_are 1 || fail "no ticker menu"
ctl win-post '#32768' . 0x100 0x56 0 >/dev/null
until_ok 25 popups_are 2 || fail "the favourites submenu did not open"
shot browse_favourites_menu
ctl win-post '#32768' . 0x100 0x0D 0 >/dev/null  # Enter on the first site
until_ok 25 popups_are 0 || fail "the ticker menu did not close"
moved=$(ticker_moved)
[ "$moved" = 0 ] || fail "the ticker moved ($moved pixels) after its menu closed"
until_ok 50 grep -q '"https://search.yahoo.co.jp/"' "$opened" ||
  fail "the favourite did not reach the browser: $(cat "$opened" 2>/dev/null)"
ok "the ticker menu's favourites submenu lists fav.opml's sites and opens one in the user's browser"

# 9. Collapsing survives a restart.
ctl click "$F" 152 >/dev/null
ctl click "$F" 151 >/dev/null
until_ok 25 visible_is 200 0 || fail "the left pane is still shown"
until_ok 25 visible_is 202 0 || fail "the bottom-right pane is still shown"
shot browse_collapsed
ctl win-post "$F" . 16 >/dev/null
until_ok 50 gone "$F" || fail "the browse window did not close"
[ "$(ini_value "$program/setup.ini" x_min)" = 1 ] || fail "x_min not stored"
[ "$(ini_value "$program/setup.ini" y_min)" = 1 ] || fail "y_min not stored"
stop_korvo
start_korvo
open_browse
until_ok 25 visible_is 201 1 || fail "no list after the restart"
[ "$(ctl visible "$F" 200)" = 0 ] || fail "the left pane came back open"
[ "$(ctl visible "$F" 202)" = 0 ] || fail "the bottom-right pane came back open"
shot browse_collapsed_after_restart
ctl click "$F" 152 >/dev/null
until_ok 25 visible_is 200 1 || fail "the left pane does not open again"
ok "collapse states survive a restart; the button opens the pane again"
shot browse_reopened
ctl win-post "$F" . 16 >/dev/null
until_ok 50 gone "$F" || fail "the browse window did not close"
# The ticker may be holding a headline or waiting between items when the window closes: watch it
# for a few strips' time.
ticker_resumed() { [ "$(ticker_moved)" != 0 ]; }
until_ok 6 ticker_resumed || fail "the ticker did not resume when the browse window closed"
ok "the ticker stays paused while the window is open (menus and dialogs included) and resumes after"
stop_korvo
exit 0

#!/usr/bin/env bash
# End to end: korvo.exe under Wine on a virtual display (xvfb-run), driven from outside by
# korvoctl.exe (finds the window of class "DIGITAL", sends messages, answers message boxes).
#
#   1. Empty working folder: "cache" and "database" appear; a window of class "DIGITAL" titled
#      "KorvoNewsReader", popup, topmost and tool window, 400 x 40 at the top-left corner; it
#      answers 1140 (and 1159) with 135996. A second copy answered with Cancel changes nothing and
#      leaves no window or file behind. WM_CLOSE: exit code 0 and a setup.ini with the defaults.
#   2. Stored placement 300,200: a second copy (English system language) answered with OK makes
#      the running window receive 1157: it moves to 0,0; that position is saved at exit.
#   3. "-m": the window exists but stays hidden; a "normal" placement is saved at exit.
#   4. "-user": the per-user folder Brindloxsoft/korvo is created with copies of the listed files
#      (the copied UrlList is converted into the channel list at once) and its own cache, database
#      and setup.ini; a second "-user" start copies nothing again.
#   5. Another process holds the instance mutex (korvoctl hold-mutex) but no window exists: the
#      copy asks, finds no window after OK, ends with 0 and creates no file.
#   6. A channel list with one feed of a local HTTP server (python3 http.server on 127.0.0.1):
#      the start-up fetches it once; after the feed grew, command 32879 fetches it again; at exit
#      the store holds every item once (read with the native korvo-headless --dump-store when
#      build/native has it) and "dump.dat" the three shown items. The local server answers
#      /xmlitems with the shown items and /index.html with the built-in page.
#   7. The ticker: a first start shows the placeholder "ニュース取得中"; after the first update of a
#      local feed a Japanese headline scrolls (two screenshots a moment apart differ); korvo.exe
#      uses under 5 % of one core over 10 s of scrolling; a restart shows the saved items at once.
#
# Runs in a Wine prefix of its own under the build folder (prepared by scripts/wine_prefix.sh),
# whose wineserver it kills at the end, so it never disturbs other Wine programs. Screenshots go
# to build/win64/e2e/. Usage: tests/e2e/korvo_exe_e2e.sh   (after scripts/build.sh win64)
set -uo pipefail
. "$(dirname "$0")/lib/wine_e2e.sh"
e2e_start korvo_exe_e2e 420

# --- Inside the virtual display ---
work=$out/korvo_exe
rm -rf "$work"
mkdir -p "$work"
pids=()
cleanup() {
  local p
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null; done
}
trap cleanup EXIT

fail() {
  echo "korvo_exe_e2e: FAIL: $*" >&2
  exit 1
}

# start_korvo <folder> [arguments]: starts korvo.exe from its program folder; sets $korvo_pid.
start_korvo() {
  local folder=$1
  shift
  (cd "$folder" && exec timeout 120 wine ./korvo.exe "$@") &
  korvo_pid=$!
  pids+=("$korvo_pid")
}
# wait_exit <pid> <what>: the program's exit code must be 0.
wait_exit() {
  local rc=0
  wait "$1" || rc=$?
  [ "$rc" = 0 ] || fail "$2 ended with exit code $rc"
}
# program_folder <name>: a program folder with korvo.exe and a channel list without channels (a
# first start would otherwise write the default channels and fetch them from the internet).
program_folder() {
  mkdir -p "$work/$1"
  cp "$build/korvo.exe" "$work/$1/"
  printf '<?xml version="1.0" encoding="UTF-8"?>\n<opml version="1.0"><body/></opml>\n' \
    >"$work/$1/channel.opml"
  echo "$work/$1"
}
# listing <folder>: every path below it, except the store's marker of an update run in progress
# (the running copy's own update run may come and go at any time).
listing() { (cd "$1" && find . -print | grep -v '^\./database/check$' | LC_ALL=C sort); }
field() { sed -n "s/.* $1=\([^ ]*\).*/\1/p" <<<" $2"; }

# 1. Empty working folder.
p1=$(program_folder empty)
start_korvo "$p1"
first=$korvo_pid
info=$(ctl wait-window 30000) || fail "no main window: $info"
echo "$info"
[ "$(field class "$info")" = DIGITAL ] || fail "class: $info"
[ "$(field title "$info")" = KorvoNewsReader ] || fail "title: $info"
for flag in popup topmost toolwindow; do
  [ "$(field $flag "$info")" = 1 ] || fail "$flag missing: $info"
done
ok "window of class DIGITAL, popup, topmost, tool window"
# The start-up timer restores the default placement at 0,0, 400 wide; without a skin the ticker's
# layout then makes it as high as the headline font's text (20 pixels: about 22, never the 40 of
# the stored placement).
for _ in $(seq 50); do
  info=$(ctl info)
  rect=$(field rect "$info")
  h=${rect##*,}
  [[ $rect == 0,0,400,* ]] && [ "$h" != 40 ] && [ "$(field visible "$info")" = 1 ] && break
  sleep 0.1
done
[[ $rect == 0,0,400,* ]] || fail "default placement: $info"
[ "$h" -ge 16 ] && [ "$h" -le 34 ] || fail "the window's height $h does not come from the font: $info"
[ "$(field visible "$info")" = 1 ] || fail "not visible: $info"
ok "default placement at 0,0, 400 wide, $h high from the headline font, visible"
[ -d "$p1/cache" ] && [ -d "$p1/database" ] || fail "cache and database not created"
[ -n "$(ls -A "$p1/database")" ] || fail "the news store was not opened in database"
ok "cache and database created, the news store opened"
[ "$(ctl send 1140)" = 135996 ] || fail "1140 does not answer 135996"
[ "$(ctl send 1159)" = 135996 ] || fail "1159 does not answer 135996"
[ "$(ctl send 1129)" = 512 ] || fail "1129 does not answer 512"
ok "1140 and 1159 answer 135996, 1129 answers 512"
shot korvo_exe_started
first_pid=$(field pid "$info")

before=$(listing "$p1")
start_korvo "$p1"
second=$korvo_pid
ctl answer-box none 30000 >/dev/null || fail "no message box for the second copy"
shot korvo_exe_second_copy
box=$(ctl answer-box cancel 30000) || fail "no message box for the second copy: $box"
echo "$box"
grep -q "KorvoNewsReaderはすでに起動しています。" <<<"$box" || fail "Japanese box text: $box"
wait_exit "$second" "the second copy (Cancel)"
[ "$(listing "$p1")" = "$before" ] || fail "the second copy changed the folder"
info=$(ctl info)
[ "$(field pid "$info")" = "$first_pid" ] || fail "the running window changed: $info"
[ "$(field rect "$info")" = "0,0,400,$h" ] || fail "Cancel moved the window: $info"
ok "second copy with Cancel: Japanese question, exit 0, nothing changed"

ctl close >/dev/null || fail "WM_CLOSE could not be posted"
wait_exit "$first" "korvo.exe after WM_CLOSE"
ctl wait-gone 10000 >/dev/null || fail "window still there after WM_CLOSE"
ini=$p1/setup.ini
[ -f "$ini" ] || fail "no setup.ini after WM_CLOSE"
for pair in wp_flag=1 wp_showcmd=1 wp_minxpos=0 wp_minypos=0 wp_maxxpos=0 wp_maxypos=0 \
  wp_left=0 wp_top=0 wp_right=400 wp_bottom=$h width=0 height=0 xSp=0 ySp=0 FontSize=20 \
  ScrollSpeed=10 cf=55295 iFlag=135996 skin=noskin260 readcf=16777215 oldcf=16777215 \
  iTipFlag=63 multi_monitor=0 alpha_blend=128 browser_path= browser_option= FaceName= \
  Weight=0 anti_alias=0 over_skin_font=0 over_backcolor=0 colorcode=0; do
  key=${pair%%=*}
  [ "$(ini_value "$ini" "$key")" = "${pair#*=}" ] || fail "setup.ini $key is '$(ini_value "$ini" "$key")', not '${pair#*=}'"
done
ok "WM_CLOSE: exit code 0, setup.ini with the default values (skin: noskin260)"

# 2. Second copy answered with OK, English system language for the second copy.
p2=$(program_folder placed)
printf '[app_data]\r\nwp_left=300\r\nwp_top=200\r\nwp_right=700\r\nwp_bottom=240\r\n' >"$p2/setup.ini"
start_korvo "$p2"
first=$korvo_pid
ctl wait-window 30000 >/dev/null || fail "no main window (placed)"
for _ in $(seq 50); do
  info=$(ctl info)
  [ "$(field rect "$info")" = "300,200,700,$((200 + h))" ] && break
  sleep 0.1
done
[ "$(field rect "$info")" = "300,200,700,$((200 + h))" ] || fail "stored placement not restored: $info"
ok "stored placement 300,200 (400 wide) restored, $h high from the font"
(cd "$p2" && LANG=C.UTF-8 exec timeout 60 wine ./korvo.exe) &
second=$!
pids+=("$second")
box=$(ctl answer-box ok 30000) || fail "no message box for the second copy: $box"
echo "$box"
grep -q "KorvoNewsReader is already existing." <<<"$box" || fail "English box text: $box"
wait_exit "$second" "the second copy (OK)"
info=$(ctl info)
[ "$(field rect "$info")" = "0,0,400,$h" ] || fail "1157 did not move the window: $info"
ok "second copy with OK (English catalogue): the running window got 1157 and moved to 0,0"
ctl close >/dev/null
wait_exit "$first" "korvo.exe (placed)"
[ "$(ini_value "$p2/setup.ini" wp_left)" = 0 ] && [ "$(ini_value "$p2/setup.ini" wp_right)" = 400 ] ||
  fail "moved placement not saved"
ok "the moved placement is saved"

# 3. "-m": hidden, only the tray icon.
p3=$(program_folder tray)
printf '[app_data]\r\nwp_left=100\r\nwp_top=100\r\nwp_right=500\r\nwp_bottom=140\r\nwp_showcmd=1\r\n' \
  >"$p3/setup.ini"
start_korvo "$p3" -x -mfoo
first=$korvo_pid
ctl wait-window 30000 >/dev/null || fail "no main window (-m)"
sleep 1  # past the start-up timer
info=$(ctl info)
[ "$(field visible "$info")" = 0 ] || fail "-m: the window is visible: $info"
[ "$(ctl send 1159)" = 135996 ] || fail "-m: settings not loaded"
ok "-x -mfoo: started hidden (tray), settings loaded"
ctl close >/dev/null
wait_exit "$first" "korvo.exe -m"
[ "$(ini_value "$p3/setup.ini" wp_showcmd)" = 1 ] || fail "-m: a hidden placement was saved"
[ "$(ini_value "$p3/setup.ini" wp_left)" = 100 ] || fail "-m: placement lost"
ok "-m: a visible placement is saved"

# 4. "-user".
p4=$(program_folder peruser)
appdata=$work/appdata
mkdir -p "$appdata" "$p4/database"
echo '<opml version="1.0"/>' >"$p4/channel.opml"
printf '[app_data]\r\niFlag=135997\r\n' >"$p4/setup.ini"
echo "urls" >"$p4/UrlList"
echo "db" >"$p4/database/rss.dat"
export KORVO_APPDATA="Z:${appdata//\//\\}"
start_korvo "$p4" -user
first=$korvo_pid
ctl wait-window 30000 >/dev/null || fail "no main window (-user)"
user_folder=$appdata/Brindloxsoft/korvo
[ "$(ctl send 1159)" = 135997 ] || fail "-user: the copied setup.ini was not read"
for f in channel.opml setup.ini database/rss.dat; do
  [ -f "$user_folder/$f" ] || fail "-user: $f not copied"
done
# The copied UrlList is converted into the channel list at once; its last content stays in
# UrlList_bk.bak.
grep -q urls "$user_folder/UrlList" "$user_folder/UrlList_bk.bak" 2>/dev/null ||
  fail "-user: UrlList not copied"
[ ! -e "$user_folder/eboard" ] || fail "-user: a missing file appeared"
[ -d "$user_folder/cache" ] && [ -d "$user_folder/database" ] || fail "-user: folders missing"
ok "-user: Brindloxsoft/korvo created with the copies, cache and database"
ctl close >/dev/null
wait_exit "$first" "korvo.exe -user"
[ "$(ini_value "$user_folder/setup.ini" skin)" = noskin260 ] || fail "-user: settings not saved there"
[ "$(ini_value "$p4/setup.ini" skin)" = "" ] || fail "-user: the program folder's setup.ini was written"
[ ! -d "$p4/cache" ] || fail "-user: cache made in the program folder"
echo '<opml version="2.0"/>' >"$p4/channel.opml"
start_korvo "$p4" -user
first=$korvo_pid
ctl wait-window 30000 >/dev/null || fail "no main window (second -user)"
# (The first start rewrote its copy while converting UrlList into it; it must stay version 1.0.)
grep -q 'version *= *"1.0"' "$user_folder/channel.opml" ||
  fail "-user: the second start overwrote a copy"
ctl close >/dev/null
wait_exit "$first" "korvo.exe -user (second start)"
ok "-user: settings saved in the per-user folder; a second start copies nothing"
unset KORVO_APPDATA

# 5. The mutex is held, no window exists.
p5=$(program_folder held)
timeout 30 wine "$build/korvoctl.exe" hold-mutex 15000 >"$out/hold.txt" &
holder=$!
pids+=("$holder")
for _ in $(seq 100); do grep -q held "$out/hold.txt" 2>/dev/null && break; sleep 0.1; done
grep -q held "$out/hold.txt" || fail "korvoctl could not take the mutex"
start_korvo "$p5"
second=$korvo_pid
ctl answer-box ok 30000 >/dev/null || fail "no message box while the mutex is held"
wait_exit "$second" "korvo.exe while the mutex is held"
[ "$(listing "$p5")" = "$(printf '.\n./channel.opml\n./korvo.exe')" ] ||
  fail "files created while the mutex is held"
kill "$holder" 2>/dev/null
ok "mutex held elsewhere: question, OK finds no window, exit 0, no files"

# 6. Update runs from a local feed server: the initial run and command 32879.
p6=$(program_folder update)
site=$work/site
mkdir -p "$site"
# feed_file <count>: an RSS 2.0 feed with items 1..count.
feed_file() {
  {
    printf '<?xml version="1.0" encoding="UTF-8"?>\n<rss version="2.0"><channel>'
    printf '<title>テスト</title><link>http://127.0.0.1/</link>'
    for i in $(seq "$1"); do
      printf '<item><title>見出し %d</title><link>http://example.invalid/%d</link></item>' "$i" "$i"
    done
    printf '</channel></rss>\n'
  } >"$site/feed.xml.new"
  mv "$site/feed.xml.new" "$site/feed.xml"
}
feed_file 2
port=$(python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
python3 -m http.server "$port" --bind 127.0.0.1 --directory "$site" >/dev/null 2>"$out/feed_server.log" &
pids+=("$!")
for _ in $(seq 50); do
  python3 -c "import urllib.request; urllib.request.urlopen('http://127.0.0.1:$port/feed.xml')" \
    2>/dev/null && break
  sleep 0.1
done
: >"$out/feed_server.log"
printf '<?xml version="1.0" encoding="UTF-8"?>\n<opml version="1.0"><body><outline text="t" xmlUrl="http://127.0.0.1:%d/feed.xml"/></body></opml>\n' \
  "$port" >"$p6/channel.opml"
# requests: how many GET requests of the feed the server answered.
requests() { grep -c 'GET /feed.xml' "$out/feed_server.log"; }
# wait_requests <n>: up to 30 s for the n-th request, then until no update run is writing.
wait_requests() {
  for _ in $(seq 300); do [ "$(requests)" -ge "$1" ] && break; sleep 0.1; done
  [ "$(requests)" -ge "$1" ] || return 1
  sleep 1
  for _ in $(seq 100); do [ -e "$p6/database/check" ] || return 0; sleep 0.1; done
  return 1
}
# The local server on a port of its own (Winsock under Wine).
sport=$(python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
printf '[server_config]\r\nport=%d\r\n' "$sport" >"$p6/setup.ini"
start_korvo "$p6"
first=$korvo_pid
ctl wait-window 30000 >/dev/null || fail "no main window (update)"
wait_requests 1 || fail "the start-up run did not fetch the feed"
ok "the start-up timer's update run fetched the local feed"
sleep 1.1  # the server compares whole seconds with the If-Modified-Since time
feed_file 3
ctl post 273 32879 0 >/dev/null || fail "command 32879 could not be posted"
wait_requests 2 || fail "command 32879 did not fetch the feed"
[ "$(requests)" = 2 ] || fail "$(requests) requests of the feed, expected 2"
ok "command 32879 runs an update now"
# The ticker swaps a handed-over list in between two headlines, so the new item reaches the
# shown list (and the server) once the headline on display has crossed the box.
served=$(python3 - "$sport" <<'PY'
import sys, time, urllib.request
base = 'http://localhost:%s/' % sys.argv[1]
deadline = time.time() + 40
while True:
    try:
        items = urllib.request.urlopen(base + 'xmlitems', timeout=10).read().decode('cp932')
        index = urllib.request.urlopen(base + 'index.html', timeout=10).read().decode('cp932')
    except Exception as e:
        print('no answer: %s' % e)
        sys.exit(0)
    if ('見出し 3' in items and 'KorvoNewsReader(resource)' in index) or time.time() > deadline:
        break
    time.sleep(0.5)
print('ok' if '見出し 3' in items and 'KorvoNewsReader(resource)' in index else items[:300])
PY
)
[ "$served" = ok ] || fail "korvo.exe's local server: $served"
ok "korvo.exe's local server answers /xmlitems with the shown items and /index.html"
ctl close >/dev/null
wait_exit "$first" "korvo.exe (update)"
[ "$(stat -c %s "$p6/dump.dat" 2>/dev/null)" = 12 ] || fail "dump.dat does not hold three items"
headless=${KORVO_HEADLESS:-$root/build/native/src/app/headless/korvo-headless}
if [ -x "$headless" ]; then
  titles=$(cd "$p6" && "$headless" --dump-store | cut -f 6 | LC_ALL=C sort | tr '\n' ,)
  [ "$titles" = "見出し 1,見出し 2,見出し 3," ] || fail "stored titles: $titles"
  ok "the store holds every item once; dump.dat the three shown items"
else
  ok "dump.dat holds three items (no native korvo-headless to read the store)"
fi

# 7. The ticker on screen: the placeholder on a first start, the fetched Japanese headlines
# scrolling after the first update (new items in the new-item colour, gold #FFD700), little CPU,
# and the saved items at once after a restart.
p7=$(program_folder ticker)
{
  printf '<?xml version="1.0" encoding="UTF-8"?>\n<rss version="2.0"><channel>'
  printf '<title>ティッカー試験</title><link>http://127.0.0.1/</link>'
  for i in 1 2 3 4 5; do
    printf '<item><title>日本語の見出し その%d：流れるニュース</title>' "$i"
    printf '<link>http://example.invalid/t%d</link></item>' "$i"
  done
  printf '</channel></rss>\n'
} >"$site/ticker.xml"
printf '<?xml version="1.0" encoding="UTF-8"?>\n<opml version="1.0"><body><outline text="t" xmlUrl="http://127.0.0.1:%d/ticker.xml"/></body></opml>\n' \
  "$port" >"$p7/channel.opml"
# The local server on a port of its own here too.
printf '[server_config]\r\nport=%d\r\n' "$sport" >"$p7/setup.ini"
# window_crop <name> <png>: the main window's rectangle cut out of a screenshot.
window_crop() {
  local r
  r=$(field rect "$(ctl info)")
  IFS=, read -r x0 y0 x1 y1 <<<"$r"
  convert "$2" -crop "$((x1 - x0))x$((y1 - y0))+$x0+$y0" +repage "$out/$1.png"
}
# colour_pixels <png> <colour>: how many pixels of about that colour the picture has.
colour_pixels() {
  convert "$1" -fuzz 8% -fill black +opaque "$2" -fill white -opaque "$2" -format '%[fx:int(mean*w*h+0.5)]' info:
}
# ticker_shot <name>: a screenshot, and the window's part of it as <name>_ticker.png.
ticker_shot() {
  import -window root "$out/$1.png" 2>/dev/null || return 1
  window_crop "$1_ticker" "$out/$1.png"
}
# shot_with_colour <name> <colour>: screenshots for up to about 10 s until the ticker shows a
# headline in that colour.
shot_with_colour() {
  for _ in $(seq 40); do
    ticker_shot "$1"
    [ "$(colour_pixels "$out/$1_ticker.png" "$2")" -gt 20 ] && return 0
    sleep 0.2
  done
  return 1
}
start_korvo "$p7"
first=$korvo_pid
ctl wait-window 30000 >/dev/null || fail "no main window (ticker)"
# A first start without dump.dat shows the placeholder (white, the old-item colour) until the
# first update's list has been swapped in after it.
shot_with_colour korvo_exe_ticker_placeholder '#FFFFFF' ||
  fail "no placeholder headline on the first start"
[ "$(colour_pixels "$out/korvo_exe_ticker_placeholder_ticker.png" '#FFD700')" -lt 5 ] ||
  fail "a fetched headline before the placeholder ended"
echo "screenshot: $out/korvo_exe_ticker_placeholder.png"
ok "first start without dump.dat: the placeholder \"ニュース取得中\" scrolls"
# After the first update the fetched headlines scroll: two screenshots a moment apart differ.
scrolling=0
for _ in $(seq 150); do
  ticker_shot korvo_exe_ticker_1
  if [ "$(colour_pixels "$out/korvo_exe_ticker_1_ticker.png" '#FFD700')" -gt 20 ]; then
    sleep 0.3
    ticker_shot korvo_exe_ticker_2
    if [ "$(colour_pixels "$out/korvo_exe_ticker_2_ticker.png" '#FFD700')" -gt 20 ] &&
      ! compare -metric AE "$out/korvo_exe_ticker_1_ticker.png" "$out/korvo_exe_ticker_2_ticker.png" \
        /dev/null 2>/dev/null; then
      scrolling=1
      break
    fi
  fi
  sleep 0.2
done
[ "$scrolling" = 1 ] || fail "no scrolling Japanese headline after the first update"
echo "screenshot: $out/korvo_exe_ticker_1.png"
echo "screenshot: $out/korvo_exe_ticker_2.png"
ok "after the first update a Japanese headline scrolls (two screenshots differ)"
# CPU over 10 s of scrolling: the program's own process (Wine's wineserver and the X server
# aside) stays under 5 % of one core.
unix_pid=$(pgrep -P "$first" | head -n 1)
[ -n "$unix_pid" ] || fail "no process of korvo.exe found"
cpu_ticks() { awk '{print $14 + $15}' "/proc/$unix_pid/stat"; }
hz=$(getconf CLK_TCK)
before=$(cpu_ticks)
sleep 10
used=$(($(cpu_ticks) - before))
percent=$((used * 100 / (10 * hz)))
echo "cpu: $used ticks of $((10 * hz)) in 10 s ($percent %)"
[ "$used" -lt $((10 * hz / 20)) ] || fail "korvo.exe used $percent % of a core while scrolling"
ok "korvo.exe used $percent % of one core over 10 s of scrolling"
ctl close >/dev/null
wait_exit "$first" "korvo.exe (ticker)"
[ "$(stat -c %s "$p7/dump.dat" 2>/dev/null)" = 20 ] || fail "dump.dat does not hold the five items"
# A restart shows the saved items at once, before any list of an update could come in.
start_korvo "$p7"
first=$korvo_pid
ctl wait-window 30000 >/dev/null || fail "no main window (ticker restart)"
shot_with_colour korvo_exe_ticker_restart '#FFD700' ||
  fail "the restart did not show the saved headlines at once"
echo "screenshot: $out/korvo_exe_ticker_restart.png"
ok "a restart shows the saved items at once"
ctl close >/dev/null
wait_exit "$first" "korvo.exe (ticker restart)"
exit 0

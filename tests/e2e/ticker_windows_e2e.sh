#!/usr/bin/env bash
# End to end: the ticker windows of korvo.exe under Wine on a virtual display, driven from outside
# by korvoctl.exe.
#
#   1. The shipped skin "パネル": the skin window ("DrawString") lies beneath the headline window,
#      which covers the news box at the stored placement; the four buttons sit at the face's top
#      right. A click on the fold button (action 18) folds the face to its minimum height and a
#      second click unfolds it; message 0x482 does the same. Screenshots of both shipped skins.
#   2. Translucency with opaque-on-hover (flag bits 14 and 20, alpha_blend 100): the skin window's
#      layered alpha is 100; the pointer resting on the ticker makes it 255 (message 1141 answers
#      64), leaving makes it 100 again.
#   3. Hot keys on (hotkeyon=1): Ctrl+F10 hides the ticker in the tray and shows it again.
#   4. A skin package dragged onto the ticker (OLE drag and drop) asks "スキンをインストールしま
#      すか？", installs skin\blue and adds it to the skin menu: its command selects it (the skin
#      window takes its face size). A hostile package (entries with "..") asks nothing and writes
#      nothing.
#   5. Headlines from a local feed file on both shipped skins: "パネル" draws the site name above
#      the news box and the description below it around a Japanese headline (screenshots); the
#      CPU the program uses over 10 s of scrolling with the lamp's animation is printed (aim: under
#      2 % of one core; the test fails from 5 %).
#
# Screenshots go to build/win64/e2e/ (ticker_*.png). Usage: tests/e2e/ticker_windows_e2e.sh
# (after scripts/build.sh win64)
set -uo pipefail
. "$(dirname "$0")/lib/wine_e2e.sh"
e2e_start ticker_windows_e2e 300
if [ ! -f "$build/runtime/skin/simple/simple.ini" ]; then
  echo "ticker_windows_e2e: the shipped skins are missing (scripts/build.sh win64)" >&2
  exit 1
fi

# --- Inside the virtual display ---
work=$out/ticker_windows
rm -rf "$work"
mkdir -p "$work"
pids=()
cleanup() {
  local p
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null; done
}
trap cleanup EXIT

fail() {
  echo "ticker_windows_e2e: FAIL: $*" >&2
  shot ticker_failure
  exit 1
}
winpath() { echo "Z:${1//\//\\}"; }
field() { sed -n "s/.* $1=\([^ ]*\).*/\1/p" <<<" $2"; }

# program_folder <name> <setup.ini lines (UTF-8)>: korvo.exe, the shipped skins, an empty channel
# list and the settings (written in CP932, as the program reads them).
program_folder() {
  local folder=$work/$1
  mkdir -p "$folder"
  cp "$build/korvo.exe" "$folder/"
  cp -r "$build/runtime/skin" "$folder/"
  printf '<?xml version="1.0" encoding="UTF-8"?>\n<opml version="1.0"><body/></opml>\n' \
    >"$folder/channel.opml"
  printf '%s' "$2" | iconv -f UTF-8 -t CP932 >"$folder/setup.ini"
  echo "$folder"
}
start_korvo() {
  (cd "$1" && exec timeout 120 wine ./korvo.exe) &
  korvo_pid=$!
  pids+=("$korvo_pid")
  ctl wait-window 30000 >/dev/null || fail "no main window in $1"
}
stop_korvo() {
  ctl close >/dev/null
  wait "$korvo_pid" || fail "korvo.exe ended with an error"
  ctl wait-gone 10000 >/dev/null || fail "window still there after WM_CLOSE"
}
# wait_for <seconds> <command...>: runs the command every 0.2 s until it succeeds.
wait_for() {
  local limit=$1
  shift
  for _ in $(seq $((limit * 5))); do
    "$@" && return 0
    sleep 0.2
  done
  return 1
}
skin_rect_is() { [ "$(field rect "$(ctl skin-info)")" = "$1" ]; }
skin_alpha_is() { [ "$(field alpha "$(ctl skin-info)")" = "$1" ]; }
main_visible_is() { [ "$(field visible "$(ctl info)")" = "$1" ]; }

placement=$'[app_data]\r\nwp_left=200\r\nwp_top=150\r\nwp_right=600\r\nwp_bottom=180\r\n'

# 1. The panel skin: geometry, buttons, folding.
p1=$(program_folder panel "${placement}skin=パネル"$'\r\n')
start_korvo "$p1"
wait_for 10 skin_rect_is "176,126,696,202" || fail "panel skin window: $(ctl skin-info)"
info=$(ctl info)
[ "$(field rect "$info")" = "200,150,588,172" ] || fail "headline window not on the news box: $info"
skin=$(ctl skin-info)
echo "$skin"
for b in "300:604,130,18,16" "301:626,130,18,16" "302:648,130,18,16" "303:670,130,18,16"; do
  grep -q "button=$b" <<<"$skin" || fail "button $b missing: $skin"
done
[ "$(field alpha "$skin")" = 255 ] || [ "$(field alpha "$skin")" = 0 ] || fail "alpha: $skin"
ok "panel skin: face 520 x 76 beneath the headline window on the news box, four buttons"
shot ticker_panel_skin
ctl click-at 679 138 >/dev/null
wait_for 5 skin_rect_is "176,126,696,180" || fail "the fold button did not fold: $(ctl skin-info)"
ctl click-at 679 138 >/dev/null
wait_for 5 skin_rect_is "176,126,696,202" || fail "the fold button did not unfold: $(ctl skin-info)"
ok "a click on the fold button (action 18) folds the face to 54 pixels and back"
ctl skin-send 0x482 >/dev/null
wait_for 5 skin_rect_is "176,126,696,180" || fail "0x482 did not fold"
ctl skin-send 0x47D >/dev/null
wait_for 5 skin_rect_is "176,126,696,202" || fail "0x47D did not restore the base size"
ok "0x482 folds, 0x47D restores the base size"
# The other shipped skin, chosen from the skin menu (32901: simple).
ctl post 273 32901 0 >/dev/null
wait_for 5 skin_rect_is "192,144,592,176" || fail "the simple skin: $(ctl skin-info)"
shot ticker_simple_skin
ok "skin menu command 32901 applies the simple skin (400 x 32)"
stop_korvo
grep -q '^skin=simple' <(tr -d '\r' <"$p1/setup.ini") || fail "the chosen skin was not saved"

# 2. Translucency with opaque-on-hover.
flags=$((135996 | (1 << 14) | (1 << 20)))
p2=$(program_folder translucent \
  "${placement}skin=パネル"$'\r\n'"iFlag=$flags"$'\r\nalpha_blend=100\r\n')
ctl move 1000 700 >/dev/null
start_korvo "$p2"
wait_for 10 skin_alpha_is 100 || fail "translucent alpha: $(ctl skin-info)"
grep -q "exstyle=0x000800b0\|exstyle=0x000800b8" <<<"$(ctl skin-info)" ||
  echo "note: skin window styles $(field exstyle "$(ctl skin-info)")"
ok "translucent ticker: the skin window's alpha is 100"
shot ticker_translucent
ctl move 300 137 >/dev/null
wait_for 5 skin_alpha_is 255 || fail "resting on the ticker did not make it opaque: $(ctl skin-info)"
[ "$(ctl send 1141)" = 64 ] || fail "1141 does not answer 64 while opaque on hover"
[ "$(ctl send 1134)" = 0 ] || fail "1134: not idle while opaque"
ok "the pointer resting on the ticker makes it opaque (alpha 255, state 64)"
ctl move 1000 700 >/dev/null
wait_for 5 skin_alpha_is 100 || fail "leaving did not make it translucent: $(ctl skin-info)"
[ "$(ctl send 1134)" = 1 ] || fail "1134: not translucent and idle after leaving"
ok "leaving the ticker makes it translucent again"
stop_korvo

# 3. Hot keys: Ctrl+F10 toggles the tray.
p3=$(program_folder hotkeys "${placement}"$'[hotkey]\r\nhotkeyon=1\r\n')
start_korvo "$p3"
wait_for 10 main_visible_is 1 || fail "not visible"
ctl keys 2 121 >/dev/null
wait_for 5 main_visible_is 0 || fail "Ctrl+F10 did not hide the ticker"
ctl keys 2 121 >/dev/null
wait_for 5 main_visible_is 1 || fail "Ctrl+F10 did not show the ticker again"
ok "hot key Ctrl+F10 hides the ticker in the tray and brings it back"
stop_korvo

# 4. Dropped skin packages.
p4=$(program_folder drops "${placement}skin=パネル"$'\r\n')
python3 - "$p4" <<'EOF'
import sys, zipfile
folder = sys.argv[1]
with zipfile.ZipFile(folder + "/blue.zip", "w", zipfile.ZIP_DEFLATED) as z:
    z.write(folder + "/skin/simple/face.bmp", "blue/face.bmp")
    z.write(folder + "/skin/simple/simple.ini", "blue/blue.ini")
with zipfile.ZipFile(folder + "/evil.zip", "w") as z:
    z.write(folder + "/skin/simple/face.bmp", "../evil/face.bmp")
    z.write(folder + "/skin/simple/simple.ini", "../evil/evil.ini")
EOF
start_korvo "$p4"
wait_for 10 skin_rect_is "176,126,696,202" || fail "panel skin (drops): $(ctl skin-info)"
ctl drag file "$(winpath "$p4/evil.zip")" 300 137 >"$out/drag_evil.txt" 2>&1
box=$(ctl answer-box none 3000 KorvoNewsReader)
[ "$box" = "no box" ] || fail "a hostile package asked: $box"
[ ! -e "$work/evil" ] && [ ! -e "$p4/evil" ] || fail "a hostile package wrote outside the skin folder"
[ "$(ls "$p4/skin")" = "$(printf 'simple\nパネル')" ] || fail "a hostile package changed skin: $(ls "$p4/skin")"
ok "a hostile package (entries with \"..\") asks nothing and writes nothing"
ctl drag file "$(winpath "$p4/blue.zip")" 300 137 >"$out/drag_blue.txt" 2>&1 &
pids+=("$!")
box=$(ctl answer-box ok 10000 KorvoNewsReader) || fail "no install question"
grep -q "スキンをインストールしますか？" <<<"$box" || fail "install question: $box"
box=$(ctl answer-box ok 10000 KorvoNewsReader) || fail "no message after installing"
grep -q "新しいスキンがインストールされました。" <<<"$box" || fail "installed message: $box"
[ -f "$p4/skin/blue/face.bmp" ] && [ -f "$p4/skin/blue/blue.ini" ] || fail "skin\\blue not installed"
ok "a dropped skin package is asked about and installed into skin\\blue"
ctl post 273 32903 0 >/dev/null
wait_for 5 skin_rect_is "192,144,592,176" || fail "the new skin's menu entry: $(ctl skin-info)"
ok "the new skin's menu entry (32903) selects it"
shot ticker_dropped_skin
stop_korvo

# 5. Headlines on the skins, from a feed file named by its local path (no network).
p5=$(program_folder headlines "${placement}skin=パネル"$'\r\n')
{
  printf '<?xml version="1.0" encoding="UTF-8"?>\n<rss version="2.0"><channel>'
  printf '<title>皮の試験新聞</title><link>http://example.invalid/</link>'
  for i in 1 2 3 4 5; do
    printf '<item><title>日本語の見出し その%d：スキンの上を流れるニュース</title>' "$i"
    printf '<link>http://example.invalid/s%d</link>' "$i"
    printf '<description>説明文 その%d：サイト名と説明がスキンに描かれる</description></item>' "$i"
  done
  printf '</channel></rss>\n'
} >"$p5/feed.xml"
printf '<?xml version="1.0" encoding="UTF-8"?>\n<opml version="1.0"><body><outline text="s" xmlUrl="%s"/></body></opml>\n' \
  "$(winpath "$p5/feed.xml")" >"$p5/channel.opml"
# crop <png> <rect x0,y0,x1,y1> <out>: that part of a screenshot.
crop() {
  local x0 y0 x1 y1
  IFS=, read -r x0 y0 x1 y1 <<<"$2"
  convert "$1" -crop "$((x1 - x0))x$((y1 - y0))+$x0+$y0" +repage "$3"
}
# colour_pixels <png> <colour>: how many pixels of about that colour the picture has.
colour_pixels() {
  convert "$1" -fuzz 8% -fill black +opaque "$2" -fill white -opaque "$2" \
    -format '%[fx:int(mean*w*h+0.5)]' info:
}
# skinned_headline <name>: a screenshot in which the headline window shows several characters of
# a headline in the skin's new-item colour (255 220 80), within about 20 s; <name>_box.png is the
# headline window's part of it.
skinned_headline() {
  for _ in $(seq 100); do
    import -window root "$out/$1.png" 2>/dev/null || return 1
    crop "$out/$1.png" "$(field rect "$(ctl info)")" "$out/$1_box.png"
    [ "$(colour_pixels "$out/$1_box.png" '#FFDC50')" -gt 300 ] && return 0
    sleep 0.2
  done
  return 1
}
ctl move 1000 700 >/dev/null
start_korvo "$p5"
wait_for 10 skin_rect_is "176,126,696,202" || fail "panel skin (headlines): $(ctl skin-info)"
skinned_headline ticker_panel_headline || fail "no headline in the panel's news box"
# The site name (site_color 170 200 255) in its place above the news box, the description
# (desc_color 200 210 230) in its well below it: the face 176,126 plus the skin's positions.
crop "$out/ticker_panel_headline.png" "202,131,502,145" "$out/ticker_panel_site.png"
crop "$out/ticker_panel_headline.png" "184,179,586,195" "$out/ticker_panel_desc.png"
[ "$(colour_pixels "$out/ticker_panel_site.png" '#AAC8FF')" -gt 20 ] ||
  fail "no site name above the news box (see $out/ticker_panel_headline.png)"
[ "$(colour_pixels "$out/ticker_panel_desc.png" '#C8D2E6')" -gt 20 ] ||
  fail "no description below the news box (see $out/ticker_panel_headline.png)"
echo "screenshot: $out/ticker_panel_headline.png"
ok "the panel skin shows a Japanese headline, the site name, the description and its buttons"
# CPU over 10 s of scrolling with the skin and its lamp animation: korvo.exe's own process, once
# the first update run (which parsed the feed and wrote the store) has had 5 s to end.
sleep 5
unix_pid=$(pgrep -P "$korvo_pid" | head -n 1)
[ -n "$unix_pid" ] || fail "no process of korvo.exe found"
cpu_ticks() { awk '{print $14 + $15}' "/proc/$unix_pid/stat"; }
hz=$(getconf CLK_TCK)
before=$(cpu_ticks)
sleep 10
used=$(($(cpu_ticks) - before))
echo "cpu: $used ticks of $((10 * hz)) in 10 s ($((used * 100 / (10 * hz))) %) with the panel skin"
# The aim is 2 % (about 1.3 % on a quiet machine); on a machine busy with builds Wine's own
# overhead in the process grows, so the test fails only from 5 %, as the no-skin case does.
[ "$used" -lt $((10 * hz / 50)) ] || echo "note: over the aim of 2 % (a busy machine?)"
[ "$used" -lt $((10 * hz / 20)) ] || fail "korvo.exe used $used ticks of $((10 * hz)) (5 % or more)"
ok "korvo.exe stays under 5 % of one core scrolling with the panel skin and its animation"
ctl post 273 32901 0 >/dev/null
wait_for 5 skin_rect_is "192,144,592,176" || fail "the simple skin (headlines): $(ctl skin-info)"
skinned_headline ticker_simple_headline || fail "no headline in the simple skin's news box"
echo "screenshot: $out/ticker_simple_headline.png"
ok "the simple skin shows a Japanese headline"
stop_korvo
exit 0

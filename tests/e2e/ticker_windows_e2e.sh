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
#
# Runs in the Wine prefix of the build folder's end-to-end tests (prepared by
# scripts/wine_prefix.sh), whose wineserver it ends at the end. Screenshots go to
# build/win64/e2e/. Usage: tests/e2e/ticker_windows_e2e.sh   (after scripts/build.sh win64)
set -uo pipefail

root=$(cd "$(dirname "$0")/../.." && pwd)
build=${KORVO_WIN_BUILD:-$root/build/win64}
out=$build/e2e
export WINEPREFIX=${KORVO_E2E_WINEPREFIX:-$out/wineprefix}
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" LANG=ja_JP.UTF-8
unset KORVO_LANGID KORVO_APPDATA

if [ -z "${KORVO_E2E_INNER:-}" ]; then
  for f in korvo.exe korvoctl.exe runtime/skin/simple/simple.ini; do
    if [ ! -f "$build/$f" ]; then
      echo "ticker_windows_e2e: $build/$f is missing (scripts/build.sh win64)" >&2
      exit 1
    fi
  done
  mkdir -p "$out"
  "$root/scripts/wine_prefix.sh" >/dev/null || exit 1
  started=$(date +%s)
  KORVO_E2E_INNER=1 timeout 300 xvfb-run -a -s "-screen 0 1280x800x24" "$0"
  rc=$?
  timeout 20 wineserver -k 2>/dev/null
  if [ $rc = 0 ]; then
    echo "ticker_windows_e2e: passed in $(( $(date +%s) - started )) s"
  else
    echo "ticker_windows_e2e: FAILED (exit $rc)" >&2
  fi
  exit $rc
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
  exit 1
}
ok() { echo "ok: $*"; }
ctl() { timeout 30 wine "$build/korvoctl.exe" "$@" | tr -d '\r'; }
field() { sed -n "s/.* $1=\([^ ]*\).*/\1/p" <<<" $2"; }
shot() { import -window root "$out/$1.png" 2>/dev/null && echo "screenshot: $out/$1.png"; }

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
winpath() { echo "Z:${1//\//\\}"; }
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
exit 0

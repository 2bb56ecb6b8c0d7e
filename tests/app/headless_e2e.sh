#!/bin/bash
# End-to-end run of korvo-headless: start in an empty folder, second copy, orderly shut-down on
# SIGTERM and SIGINT, "-user" with and without an application-data folder, restart after a kill.
# Usage: headless_e2e.sh <path of korvo-headless>
set -u

HEADLESS="$(realpath "$1")"
WORK="$(mktemp -d)"
PIDS=()
cleanup() {
  for pid in "${PIDS[@]}"; do kill -KILL "$pid" 2>/dev/null; done
  rm -rf "$WORK"
}
trap cleanup EXIT

fail() {
  echo "FAIL: $*"
  for f in "$WORK"/*.out; do [ -f "$f" ] && { echo "--- $f"; cat "$f"; }; done
  exit 1
}

# Waits up to 10 s for a line matching $2 in file $1.
wait_for() {
  for _ in $(seq 1 200); do
    grep -q -- "$2" "$1" 2>/dev/null && return 0
    sleep 0.05
  done
  return 1
}

# Starts korvo-headless in the background; output to $WORK/$1.out; remaining args are passed on.
start() {
  local name="$1"
  shift
  "$HEADLESS" "$@" >"$WORK/$name.out" 2>&1 &
  PID=$!
  PIDS+=("$PID")
  wait_for "$WORK/$name.out" "^started\|^start in tray: " || fail "$name: no start-up report"
}

# Sends signal $1 to $PID and checks the exit code and the report of an orderly end.
stop() {
  local signal="$1" name="$2"
  kill "-$signal" "$PID"
  wait "$PID"
  local rc=$?
  [ "$rc" -eq 0 ] || fail "$name: exit code $rc after SIG$signal"
  grep -q "^korvo-headless: stopped, settings saved" "$WORK/$name.out" || fail "$name: not saved"
}

mkdir -p "$WORK/prog" "$WORK/appdata"
cd "$WORK/prog" || exit 1

# 0. Listing the store of a folder that has none lists nothing, ends with 0 and creates nothing
#    (no cache or database folder, no store; with -user no per-user folder either).
for args in "" "-user"; do
  listing="$(KORVO_APPDATA="$WORK/appdata" "$HEADLESS" --dump-store $args)"
  rc=$?
  [ "$rc" -eq 0 ] || fail "dump-store without a store ($args): exit code $rc"
  [ -z "$listing" ] || fail "dump-store without a store ($args) printed '$listing'"
done
[ -e cache ] || [ -e database ] && fail "dump-store created folders in the program folder"
[ -z "$(ls "$WORK/appdata")" ] || fail "dump-store -user created the per-user folder"

# A channel list without channels: a first start would otherwise write the default channels and
# fetch them from the internet.
printf '<?xml version="1.0" encoding="UTF-8"?>\n<opml version="1.0"><body/></opml>\n' >channel.opml
export KORVO_APPDATA="$WORK/appdata"

# 1. First start in an empty folder: the folders are made and reported, nothing is saved yet.
export KORVO_LANGID=1041
start first
for line in "program folder: $WORK/prog" "working folder: $WORK/prog" \
            "skin folder: $WORK/prog/skin" "cache folder: $WORK/prog/cache" \
            "database folder: $WORK/prog/database" "settings: $WORK/prog/setup.ini" \
            "start in tray: no"; do
  grep -qxF "$line" "$WORK/first.out" || fail "first: missing line '$line'"
done
[ -d cache ] && [ -d database ] || fail "cache or database not created"
# Only the local server's section is written at start-up; the general settings wait for the end.
grep -q '^\[server_config\]' setup.ini || fail "server_config not written back at start-up"
grep -q '^\[app_data\]' setup.ini && fail "general settings written before shut-down"
setup_before="$(cat setup.ini)"

# 2. A second copy prints catalog entry 0 and ends with 0, in the system's language.
second="$("$HEADLESS")"
rc=$?
[ "$rc" -eq 0 ] || fail "second copy: exit code $rc"
[ "$(printf '%s' "$second" | head -1)" = $'KorvoNewsReaderはすでに起動しています。\r' ] ||
  fail "second copy (ja): '$second'"
printf '%s' "$second" | grep -q "ポジションを元に戻す場合はOKを押して下さい。" || fail "ja text"
second="$(KORVO_LANGID=1033 "$HEADLESS" -user)"
[ "$(printf '%s' "$second" | head -1)" = $'KorvoNewsReader is already existing.\r' ] ||
  fail "second copy (en): '$second'"
[ -z "$(ls "$WORK/appdata")" ] || fail "the second copy created the per-user folder"
[ "$(cat setup.ini)" = "$setup_before" ] || fail "the second copy wrote setup.ini"

# 3. SIGTERM: orderly shut-down that writes the defaults.
stop TERM first
for line in "iFlag=135996" "wp_right=400" "wp_bottom=40" "iTipFlag=63" "FontSize=20" \
            "[titlefont]" "[backcolor]"; do
  grep -qxF "$line"$'\r' setup.ini || fail "setup.ini lacks '$line'"
done

# 4. "-user -m": the per-user folder is made once, with copies; SIGINT ends it in order.
printf '[app_data]\r\niFlag=135997\r\n' >setup.ini
printf 'opml' >channel.opml
start user -x -user -mfoo
user_folder="$WORK/appdata/Brindloxsoft/korvo"
grep -qxF "working folder: $user_folder (per user)" "$WORK/user.out" || fail "user: folder"
grep -qxF "skin folder: $WORK/prog/skin" "$WORK/user.out" || fail "user: skin folder moved"
grep -qxF "start in tray: yes" "$WORK/user.out" || fail "user: -mfoo not taken as -m"
[ "$(cat "$user_folder/channel.opml")" = "opml" ] || fail "user: channel.opml not copied"
[ -d "$user_folder/cache" ] && [ -d "$user_folder/database" ] || fail "user: folders"
stop INT user
grep -qxF $'iFlag=135997\r' "$user_folder/setup.ini" || fail "user: copied settings not kept"

# 5. Second "-user" start: nothing is copied again.
printf 'changed' >channel.opml
start user2 -user
stop TERM user2
[ "$(cat "$user_folder/channel.opml")" = "opml" ] || fail "user2: copied again"

# 6. "-user" without an application-data folder keeps the program folder.
KORVO_APPDATA="" start noappdata -user
grep -qxF "working folder: $WORK/prog" "$WORK/noappdata.out" || fail "noappdata: folder"
stop TERM noappdata

# 7. A killed copy does not block the next start; the legacy file is imported once.
start killed
kill -KILL "$PID"
wait "$PID" 2>/dev/null
head -c 3000 /dev/zero >eboard
start afterkill
[ -e eboard ] && fail "afterkill: eboard not imported"
grep -qxF $'iFlag=0\r' setup.ini || fail "afterkill: eboard values not in setup.ini"
stop TERM afterkill

echo "PASS"

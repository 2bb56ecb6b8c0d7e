#!/usr/bin/env bash
# Builds korvo.exe and starts it under Wine on a demo working folder (build/demo), under
# xvfb-run when there is no display. Arguments are passed to the program ("-m", "-user").
#   KORVO_DEMO=<folder>   use another working folder
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
export WINEDEBUG=${WINEDEBUG:--all} WINEDLLOVERRIDES="mscoree,mshtml="
export WINEPREFIX=${WINEPREFIX:-$HOME/.wine-korvo}
export LANG=ja_JP.UTF-8

scripts/deps.sh
scripts/build.sh win64
if [ -x scripts/wine_prefix.sh ]; then scripts/wine_prefix.sh; fi

demo=${KORVO_DEMO:-$root/build/demo}
mkdir -p "$demo"
# The program folder is the current directory at start; skins and the demo files sit beside it.
cp -f build/win64/korvo.exe "$demo/"
if [ -d build/win64/runtime ]; then cp -rn build/win64/runtime/. "$demo/"; fi

echo "run: working folder  $demo"
echo "run: settings        $demo/setup.ini"
echo "run: channel list    $demo/channel.opml"
echo "run: news store      $demo/database/"
echo "run: feed cache      $demo/cache/"
cd "$demo"
if [ -n "${DISPLAY:-}" ]; then
  exec wine ./korvo.exe "$@"
else
  exec xvfb-run -a -s "-screen 0 1280x800x24" wine ./korvo.exe "$@"
fi

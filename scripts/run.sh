#!/usr/bin/env bash
# Builds korvo.exe (and nothing else) and starts it under Wine on a demo working folder
# (build/demo), under xvfb-run when there is no display. Arguments are passed to the program
# ("-m", "-user").
#   KORVO_DEMO=<folder>   use another working folder
# The demo folder gets the sample feeds of res/demo/feeds (four made-up Japanese sites, one of
# them in Shift_JIS) and, when it has no channel list yet, a channel.opml naming them by their
# local paths: the first start shows scrolling headlines without a network. Delete the folder to
# start afresh.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
export WINEDEBUG=${WINEDEBUG:--all} WINEDLLOVERRIDES="mscoree,mshtml="
export WINEPREFIX=${WINEPREFIX:-$HOME/.wine-korvo}
export LANG=ja_JP.UTF-8

scripts/deps.sh
KORVO_TARGETS=korvo scripts/build.sh win64
if [ -x scripts/wine_prefix.sh ]; then scripts/wine_prefix.sh; fi

demo=${KORVO_DEMO:-$root/build/demo}
mkdir -p "$demo/feeds"
demo=$(cd "$demo" && pwd)
# The program folder is the current directory at start; skins and the demo files sit beside it.
cp -f build/win64/korvo.exe "$demo/"
if [ -d build/win64/runtime ]; then cp -rn build/win64/runtime/. "$demo/"; fi
# The sample feeds; walk.xml declares Shift_JIS and is written so.
python3 - "$root/res/demo/feeds" "$demo" <<'PY'
import pathlib, sys
source, demo = pathlib.Path(sys.argv[1]), pathlib.Path(sys.argv[2])
names = ["tech.xml", "weather.rdf", "town.atom", "walk.xml"]
for name in names:
    text = (source / name).read_text("utf-8")
    encoding = "cp932" if 'encoding="Shift_JIS"' in text else "utf-8"
    (demo / "feeds" / name).write_bytes(text.encode(encoding))
opml = demo / "channel.opml"
if not opml.exists():
    def wine_path(path):  # Wine's drive Z: is the root of the file system
        return "Z:" + str(path).replace("/", "\\")
    lines = ['<?xml version="1.0" encoding="UTF-8"?>',
             '<opml version="1.0"><head><title>demo</title></head><body>']
    for name in names:
        lines.append('<outline text="%s" xmlUrl="%s"/>' % (name, wine_path(demo / "feeds" / name)))
    lines.append("</body></opml>")
    opml.write_text("\n".join(lines) + "\n", "utf-8")
PY

echo "run: working folder  $demo"
echo "run: settings        $demo/setup.ini"
echo "run: channel list    $demo/channel.opml (the demo feeds in $demo/feeds)"
echo "run: news store      $demo/database/"
echo "run: feed cache      $demo/cache/"
cd "$demo"
if [ -n "${DISPLAY:-}" ]; then
  exec wine ./korvo.exe "$@"
else
  exec xvfb-run -a -s "-screen 0 1280x800x24" wine ./korvo.exe "$@"
fi

#!/usr/bin/env bash
# Creates or updates the Wine prefix in which korvo.exe and the Windows tests run:
#   $WINEPREFIX, or $HOME/.wine-korvo when it is not set.
# Japanese: the fonts that Japanese Windows programs ask for ("MS UI Gothic", "meiryo", "MS
# Gothic", "MS PGothic") are mapped to the IPA fonts; the language itself comes from LANG at run
# time (LANG=ja_JP.UTF-8 gives language 1041 and code page 932). Wine never prompts for Mono or
# Gecko (WINEDLLOVERRIDES="mscoree,mshtml=").
# Idempotent: a prefix already prepared by this version of the script is left alone at once.
# Prints the prefix's path on its last line.
set -euo pipefail

prefix=${WINEPREFIX:-$HOME/.wine-korvo}
export WINEPREFIX=$prefix
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
export LANG=ja_JP.UTF-8
# wineboot must not open windows anywhere.
unset DISPLAY

version=1
stamp=$prefix/.korvo-prefix
if [ -f "$stamp" ] && [ "$(cat "$stamp")" = "$version" ] && [ -f "$prefix/system.reg" ]; then
  echo "$prefix"
  exit 0
fi

mkdir -p "$prefix"
echo "wine prefix: preparing $prefix" >&2
timeout 180 wineboot -i >/dev/null 2>&1 || true
# The registry files are written when the prefix's wineserver ends.
timeout 120 wineserver -w || true
if [ ! -f "$prefix/system.reg" ]; then
  echo "wine prefix: wineboot failed in $prefix" >&2
  exit 1
fi

reg=$(mktemp --suffix=.reg)
trap 'rm -f "$reg"' EXIT
# regedit reads UTF-16LE with a BOM, so the Japanese font names survive.
python3 - "$reg" <<'EOF'
import sys
text = r'''Windows Registry Editor Version 5.00

[HKEY_LOCAL_MACHINE\Software\Microsoft\Windows NT\CurrentVersion\FontSubstitutes]
"MS UI Gothic"="IPAGothic"
"meiryo"="IPAPGothic"
"Meiryo UI"="IPAPGothic"
"MS Gothic"="IPAGothic"
"MS PGothic"="IPAPGothic"
"ＭＳ ゴシック"="IPAGothic"
"ＭＳ Ｐゴシック"="IPAPGothic"
"MS Mincho"="IPAMincho"
"ＭＳ 明朝"="IPAMincho"

[HKEY_CURRENT_USER\Software\Wine\DllOverrides]
"mscoree"=""
"mshtml"=""
'''
with open(sys.argv[1], 'wb') as f:
    f.write(b'\xff\xfe' + text.replace('\n', '\r\n').encode('utf-16-le'))
EOF
timeout 60 wine regedit /S "$reg" >/dev/null 2>&1
timeout 60 wineserver -w || true
echo "$version" > "$stamp"
echo "wine prefix: ready" >&2
echo "$prefix"

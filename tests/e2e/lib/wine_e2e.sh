# Sourced by the end-to-end scripts of korvo.exe under Wine (tests/e2e/*.sh):
#
#   e2e_start <name> <seconds>
#
# sets root, build (build/win64, or $KORVO_WIN_BUILD), out (build/win64/e2e) and the Wine
# environment (the prefix build/win64/e2e/wineprefix unless $KORVO_E2E_WINEPREFIX, prepared by
# scripts/wine_prefix.sh). Called outside the virtual display, it checks that korvo.exe and
# korvoctl.exe are built, runs the calling script again inside xvfb-run (at most <seconds>), kills
# that prefix's wineserver, says whether it passed, and exits with its code. Inside, it returns.
# Then the helpers below are there: ok, ctl, shot, ini_value.

e2e_start() {
  e2e_name=$1
  root=$(cd "$(dirname "$0")/../.." && pwd)
  build=${KORVO_WIN_BUILD:-$root/build/win64}
  out=$build/e2e
  export WINEPREFIX=${KORVO_E2E_WINEPREFIX:-$out/wineprefix}
  export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" LANG=ja_JP.UTF-8
  unset KORVO_LANGID KORVO_APPDATA
  [ -n "${KORVO_E2E_INNER:-}" ] && return 0
  local f started rc
  for f in korvo.exe korvoctl.exe; do
    if [ ! -f "$build/$f" ]; then
      echo "$e2e_name: $build/$f is missing (scripts/build.sh win64)" >&2
      exit 1
    fi
  done
  mkdir -p "$out"
  "$root/scripts/wine_prefix.sh" >/dev/null || exit 1
  started=$(date +%s)
  KORVO_E2E_INNER=1 timeout "$2" xvfb-run -a -s "-screen 0 1280x800x24" "$0"
  rc=$?
  timeout 20 wineserver -k 2>/dev/null
  if [ $rc = 0 ]; then
    echo "$e2e_name: passed in $(( $(date +%s) - started )) s"
  else
    echo "$e2e_name: FAILED (exit $rc)" >&2
  fi
  exit $rc
}

ok() { echo "ok: $*"; }
ctl() { timeout 30 wine "$build/korvoctl.exe" "$@" | tr -d '\r'; }
shot() { import -window root "$out/$1.png" 2>/dev/null && echo "screenshot: $out/$1.png"; }
# ini_value <file> <key>: the value of the first line "key=..." (CR LF line ends).
ini_value() { tr -d '\r' <"$1" | sed -n "s/^$2=//p" | head -n 1; }

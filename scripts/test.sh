#!/usr/bin/env bash
# Runs every test on a fresh Debian 12 machine or a prepared one:
#   1. installs what is missing (scripts/deps.sh),
#   2. native build with AddressSanitizer/UndefinedBehaviorSanitizer and its unit and end-to-end
#      tests (ctest),
#   3. Windows builds (x86_64 and i686) and the Windows tests under Wine (ctest in build/win64),
#   4. the end-to-end tests under Wine and in the browser (tests/e2e/*.sh),
#   5. every fuzzer for a short bounded time.
# Stops at the first failing step and says which.
set -euo pipefail
cd "$(dirname "$0")/.."
export KORVO_JOBS=${KORVO_JOBS:-$(nproc)}
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
# The Wine prefix prepared by scripts/wine_prefix.sh (Japanese fonts, no prompts). Each checkout
# has its own: windows of one prefix share one Wine desktop, so two checkouts testing at the same
# time would find each other's windows.
export WINEPREFIX=${WINEPREFIX:-$PWD/build/wineprefix}

step() { echo; echo "=== $* ($(date +%H:%M:%S))"; }

step "dependencies"
scripts/deps.sh

step "include layers"
scripts/check_layers.py

step "native build"
scripts/build.sh native
step "native tests"
ctest --test-dir build/native --output-on-failure -j "$KORVO_JOBS" --timeout 600

step "Windows builds"
scripts/build.sh win64 win32
if [ -x scripts/wine_prefix.sh ]; then
  step "Wine prefix"
  scripts/wine_prefix.sh
fi
step "Windows tests under Wine"
# Wine's WinINet has heap defects of its own (the one behind process-wide proxy changes is avoided
# in src/fetch/win/process_proxy.cpp), so a failing program gets up to two more runs. A real fault
# fails all three.
(cd build/win64 && LANG=ja_JP.UTF-8 ctest --output-on-failure --timeout 600 --repeat until-pass:3)

shopt -s nullglob
for e2e in tests/e2e/*.sh; do
  step "end-to-end: $e2e"
  "$e2e"
done

step "fuzz build"
scripts/build.sh fuzz
step "fuzzing"
scripts/fuzz.sh

step "all tests passed"

#!/usr/bin/env bash
# Installs what the build and the tests need, from Debian's registry (and npm's, for the browser
# tests). Idempotent: when everything is present it only checks and returns at once.
#   scripts/deps.sh            everything (build, Windows cross build, Wine, tests)
#   scripts/deps.sh native     only what the native build and its tests need
set -euo pipefail

what=${1:-all}

native_pkgs=(
  build-essential cmake ninja-build pkg-config clang libclang-rt-14-dev
  libgtest-dev googletest libbenchmark-dev
  libcurl4-openssl-dev zlib1g-dev libminizip-dev libxml2-dev libsqlite3-dev
  python3 openssl ca-certificates locales
)
windows_pkgs=(
  g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix mingw-w64-tools binutils-mingw-w64
  libz-mingw-w64-dev
  wine wine64 xvfb xauth imagemagick fonts-ipafont x11-utils
)
# The browser tests of the local server's pages: Debian's Chromium, driven by playwright-core.
browser_pkgs=(chromium)

pkgs=("${native_pkgs[@]}")
if [ "$what" = all ]; then pkgs+=("${windows_pkgs[@]}" "${browser_pkgs[@]}"); fi
# Node.js and npm for playwright-core, from Debian when the machine has none of its own.
if [ "$what" = all ] && ! command -v npm >/dev/null; then pkgs+=(nodejs npm); fi

missing=()
for p in "${pkgs[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
  case "$status" in
    *"install ok installed"*) ;;
    *) missing+=("$p") ;;
  esac
done

if [ ${#missing[@]} -gt 0 ]; then
  echo "deps: installing ${missing[*]}"
  sudo=""
  if [ "$(id -u)" != 0 ]; then sudo="sudo"; fi
  export DEBIAN_FRONTEND=noninteractive
  $sudo apt-get update -q
  $sudo apt-get install -y -q --no-install-recommends "${missing[@]}"
fi

# Japanese locale: Wine takes the system language (1041) and code page 932 from it.
if ! locale -a 2>/dev/null | grep -qi '^ja_JP\.utf-\?8$'; then
  sudo=""
  if [ "$(id -u)" != 0 ]; then sudo="sudo"; fi
  if ! grep -q '^ja_JP.UTF-8 UTF-8' /etc/locale.gen 2>/dev/null; then
    echo 'ja_JP.UTF-8 UTF-8' | $sudo tee -a /etc/locale.gen >/dev/null
  fi
  $sudo locale-gen >/dev/null
fi
# playwright-core (npm) for the browser tests, in the build folder; it drives /usr/bin/chromium
# and never downloads a browser of its own.
playwright_version=1.65.2
playwright_dir="$(cd "$(dirname "$0")/.." && pwd)/build/browser"
if [ "$what" = all ] &&
   ! grep -qs "\"version\": \"$playwright_version\"" \
     "$playwright_dir/node_modules/playwright-core/package.json"; then
  echo "deps: installing playwright-core $playwright_version"
  mkdir -p "$playwright_dir"
  PLAYWRIGHT_SKIP_BROWSER_DOWNLOAD=1 npm install --prefix "$playwright_dir" --no-save \
    --no-audit --no-fund --loglevel=error "playwright-core@$playwright_version" >/dev/null
fi
echo "deps: ready"

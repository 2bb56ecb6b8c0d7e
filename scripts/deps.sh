#!/usr/bin/env bash
# Installs what the build and the tests need, from Debian's registry (and npm's, for the browser
# tests). Idempotent: when everything is present it only checks and returns at once.
#   scripts/deps.sh            everything (build, Windows cross build, Wine, tests)
#   scripts/deps.sh native     only what the native build and its tests need
set -euo pipefail
cd "$(dirname "$0")/.."

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

# minizip for the Windows builds: unzip.c and ioapi.c from contrib/minizip of Debian's zlib source
# package, compiled by CMake with the cross compilers (the native build uses libminizip-dev). The
# source comes through a temporary deb-src list of its own, so the system's apt lists stay as
# they are; the files land in build/deps/minizip.
minizip_dir=build/deps/minizip
if [ "$what" = all ] && [ ! -f "$minizip_dir/unzip.c" ]; then
  echo "deps: fetching the zlib source package for minizip"
  tmp=$(mktemp -d)
  mkdir -p "$tmp/lists/partial" "$tmp/cache/archives/partial"
  echo "deb-src [signed-by=/usr/share/keyrings/debian-archive-keyring.gpg] http://deb.debian.org/debian bookworm main" \
    >"$tmp/sources.list"
  apt_opts=(-o "Dir::Etc::SourceList=$tmp/sources.list" -o Dir::Etc::SourceParts=/dev/null
            -o "Dir::State::Lists=$tmp/lists" -o "Dir::Cache=$tmp/cache" -o APT::Sandbox::User=root)
  apt-get "${apt_opts[@]}" update -qq
  (cd "$tmp" && apt-get "${apt_opts[@]}" source --download-only -qq zlib)
  tar -xf "$tmp"/zlib_*.orig.tar.* -C "$tmp"
  mkdir -p "$minizip_dir"
  for f in unzip.c unzip.h ioapi.c ioapi.h iowin32.c iowin32.h crypt.h; do
    cp "$tmp"/zlib-*/contrib/minizip/$f "$minizip_dir/"
  done
  rm -rf "$tmp"
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

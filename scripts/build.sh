#!/usr/bin/env bash
# Configures and builds one or more configurations, each in its own folder under build/:
#   native  g++, Debug, AddressSanitizer + UndefinedBehaviorSanitizer, unit tests, korvo-headless
#   win64   mingw-w64 x86_64: korvo.exe, plug-ins, Windows tests (run under Wine)
#   win32   mingw-w64 i686: the same for 32-bit Windows (built, not run: no 32-bit Wine here)
#   fuzz    clang, libFuzzer targets
#   bench   g++, Release, benchmarks
# Usage: scripts/build.sh native win64 ...   (default: native)
#   KORVO_TARGETS="korvo korvoctl"   build only these targets (default: everything)
set -euo pipefail
cd "$(dirname "$0")/.."
jobs=${KORVO_JOBS:-$(nproc)}

# A compiler cache, when one is installed, is shared by every checkout of the tree on the machine.
launcher=()
if command -v ccache >/dev/null; then
  launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi

configure() {  # folder, cmake arguments...
  local dir=$1
  shift
  if [ ! -f "$dir/build.ninja" ]; then
    cmake -S . -B "$dir" -G Ninja "${launcher[@]}" "$@" >/dev/null
  fi
}

for config in "${@:-native}"; do
  dir=build/$config
  case $config in
    native) configure "$dir" -DCMAKE_BUILD_TYPE=Debug -DKORVO_SANITIZE=ON ;;
    win64) configure "$dir" -DCMAKE_BUILD_TYPE=Release \
             -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-mingw-x86_64.cmake ;;
    win32) configure "$dir" -DCMAKE_BUILD_TYPE=Release \
             -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-mingw-i686.cmake ;;
    fuzz) CC=clang CXX=clang++ configure "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
            -DKORVO_FUZZ=ON -DKORVO_TESTS=OFF ;;
    bench) configure "$dir" -DCMAKE_BUILD_TYPE=Release -DKORVO_TESTS=OFF -DKORVO_BENCH=ON ;;
    *) echo "build: unknown configuration '$config'" >&2; exit 2 ;;
  esac
  echo "build: $config"
  targets=()
  for t in ${KORVO_TARGETS:-}; do targets+=(--target "$t"); done
  cmake --build "$dir" -j "$jobs" "${targets[@]}"
done

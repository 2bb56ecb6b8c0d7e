#!/usr/bin/env bash
# Runs every libFuzzer target of build/fuzz for a bounded time (KORVO_FUZZ_SECONDS, default 15)
# on a copy of its seed corpus. Any finding fails the run; crash inputs stay in build/fuzz/findings.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${KORVO_FUZZ_SECONDS:-15}
shopt -s nullglob
status=0
mkdir -p build/fuzz/findings
for fuzzer in build/fuzz/tests/fuzz/*_fuzzer; do
  [ -x "$fuzzer" ] || continue
  name=$(basename "$fuzzer" _fuzzer)
  work=build/fuzz/corpus/$name
  mkdir -p "$work"
  if [ -d "tests/fuzz/corpus/$name" ]; then cp -r "tests/fuzz/corpus/$name/." "$work/"; fi
  echo "fuzz: $name for ${seconds}s"
  if ! "$fuzzer" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
      -artifact_prefix=build/fuzz/findings/"$name"- "$work" >build/fuzz/"$name".log 2>&1; then
    echo "fuzz: $name FOUND A FAULT (see build/fuzz/$name.log)"
    tail -40 build/fuzz/"$name".log
    status=1
  fi
done
exit $status

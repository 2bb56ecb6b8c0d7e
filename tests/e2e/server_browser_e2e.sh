#!/usr/bin/env bash
# The local server's index page in Debian's Chromium (playwright-core) against korvo-headless:
# tests/e2e/server_browser.cjs says what is shown. Needs the native build and scripts/deps.sh
# (Chromium, playwright-core in build/browser); nothing reaches the internet. The screenshot
# lands in build/native/e2e/server_index.png.
set -euo pipefail
cd "$(dirname "$0")/../.."
headless=build/native/src/app/headless/korvo-headless
if [ ! -x "$headless" ]; then
  echo "server_browser_e2e: $headless is missing (scripts/build.sh native)" >&2
  exit 1
fi
if [ ! -d build/browser/node_modules/playwright-core ] || [ ! -x /usr/bin/chromium ]; then
  echo "server_browser_e2e: Chromium or playwright-core is missing (scripts/deps.sh)" >&2
  exit 1
fi
exec node tests/e2e/server_browser.cjs "$headless" build/native/e2e

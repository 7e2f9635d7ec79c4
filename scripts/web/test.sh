#!/usr/bin/env bash
# `make web-test`: every recording replayed by the browser build under Node (each checkpoint
# equal to the recording's), then the page in Debian's headless Chromium. Installs Chromium from
# Debian and puppeteer-core from npm (into build-web/npm/) when missing.
set -euo pipefail
root="$(cd "$(dirname "$0")/../.." && pwd)"
web="${WEB_BUILD:-$root/build-web}"
cd "$root"

need=()
for pkg in chromium nodejs npm; do
  # A node from elsewhere (with its own npm) will do.
  if [[ "$pkg" != chromium ]] && command -v "${pkg/nodejs/node}" >/dev/null; then continue; fi
  [[ "$(dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null || true)" == "install ok installed" ]] || need+=("$pkg")
done
if [[ ${#need[@]} -gt 0 ]]; then
  echo "web-test: installing ${need[*]}"
  if [[ $(id -u) -eq 0 ]]; then sudo=(); else sudo=(sudo); fi
  export DEBIAN_FRONTEND=noninteractive
  "${sudo[@]}" apt-get update -qq
  "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${need[@]}"
fi
mkdir -p "$web/npm"
if ! cmp -s web/test/package.json "$web/npm/package.json" || [[ ! -d "$web/npm/node_modules/puppeteer-core" ]]; then
  cp web/test/package.json "$web/npm/package.json"
  (cd "$web/npm" && npm install --no-audit --no-fund --loglevel=error)
fi
export NODE_PATH="$web/npm/node_modules"

# One process per recording, as the desktop's tests run them.
echo "web-test: the recordings, replayed by the browser build under Node"
replay_failed=0
for rec in "$root"/assets/recordings/*.txt; do
  node "$web/game/pumko-replay.js" "$root/assets/recordings" "$(basename "$rec" .txt)" | grep -v ' passed, ' ||
    replay_failed=$((replay_failed + 1))
done
[[ $replay_failed -eq 0 ]] || { echo "web-test: $replay_failed recordings differ in the browser build"; exit 1; }
echo "web-test: the page in headless Chromium"
node web/test/page_test.js "$web/site" "$(command -v chromium)"

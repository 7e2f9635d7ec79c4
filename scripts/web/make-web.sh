#!/usr/bin/env bash
# `make web`: the game for a web browser, in build-web/site/ (index.html, page.js, pumko.js,
# pumko.wasm), and the replay runner for Node in build-web/game/. Installs what it needs from
# Debian first (only what is missing): emscripten, and the desktop build's packages, whose asset
# makers draw the pictures, compile the maps and synthesise the sounds.
set -euo pipefail
root="$(cd "$(dirname "$0")/../.." && pwd)"
native="${NATIVE_BUILD:-$root/build}"
web="${WEB_BUILD:-$root/build-web}"
jobs="${JOBS:-2}"
cd "$root"

need=()
for pkg in emscripten dpkg-dev python3 ca-certificates; do
  [[ "$(dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null || true)" == "install ok installed" ]] || need+=("$pkg")
done
if [[ ${#need[@]} -gt 0 ]]; then
  echo "web: installing ${need[*]}"
  if [[ $(id -u) -eq 0 ]]; then sudo=(); else sudo=(sudo); fi
  export DEBIAN_FRONTEND=noninteractive
  "${sudo[@]}" apt-get update -qq
  "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${need[@]}"
fi
bash scripts/install-deps.sh
export NODE_PATH="/usr/share/nodejs${NODE_PATH:+:$NODE_PATH}"

# The assets, from the desktop build's makers.
launcher=()
if command -v ccache >/dev/null; then
  launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
  export CCACHE_BASEDIR="${CCACHE_BASEDIR:-$root}"
fi
[[ -f "$native/CMakeCache.txt" ]] || cmake -S . -B "$native" -DCMAKE_BUILD_TYPE=RelWithDebInfo "${launcher[@]}" >/dev/null
cmake --build "$native" -j "$jobs" --target pumko_resources pumko_data

# The libraries, from Debian's sources, once.
bash scripts/web/build-libs.sh "$web/deps"

# The game and the replay runner.
if [[ ! -f "$web/game/CMakeCache.txt" ]]; then
  emcmake cmake -S . -B "$web/game" -DCMAKE_BUILD_TYPE=Release "${launcher[@]}" \
    -DPUMKO_WEB_DEPS="$web/deps/prefix" -DPUMKO_NATIVE_BUILD="$native" -DPUMKO_WEB_SITE="$web/site" >/dev/null
fi
cmake --build "$web/game" -j "$jobs" --target pumko pumko-replay

# What a visitor downloads, compressed as a web server sends it.
total=0
for f in "$web/site"/*; do
  size=$(gzip -9 -c "$f" | wc -c)
  total=$((total + size))
  printf 'web:   %-12s %9d bytes, %8d gzip-compressed\n' "$(basename "$f")" "$(stat -c %s "$f")" "$size"
done
awk -v t="$total" 'BEGIN { printf "web: the page downloads %d bytes gzip-compressed (%.2f MB)\n", t, t / 1e6 }'
echo "web: the page is in $web/site/; try it with 'make web-serve' (http://127.0.0.1:8023/)"

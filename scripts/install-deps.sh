#!/usr/bin/env bash
# Installs, from Debian's packages, whatever the build, the game and the tests need and the
# machine does not have yet. Does nothing when everything is already there. With --test, also
# what only the tests need (debian-packages-test.txt).
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
lists=("$here/debian-packages.txt")
[[ "${1:-}" == "--test" ]] && lists+=("$here/debian-packages-test.txt")
mapfile -t wanted < <(cat "${lists[@]}" | grep -v '^\s*#' | sed 's/\s//g' | grep -v '^$')

missing=()
for pkg in "${wanted[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null || true)
  [[ "$status" == "install ok installed" ]] || missing+=("$pkg")
done
[[ ${#missing[@]} -eq 0 ]] && exit 0

echo "Installing missing packages: ${missing[*]}"
if [[ $(id -u) -eq 0 ]]; then sudo=(); else sudo=(sudo); fi
export DEBIAN_FRONTEND=noninteractive
"${sudo[@]}" apt-get update -qq
"${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"

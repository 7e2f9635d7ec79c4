#!/usr/bin/env bash
# How long the real program takes to end after SIGTERM (what the window's close button sends too)
# on each screen: under an Xvfb of its own, driven with xdotool, SIGTERM sent at a moment well
# inside the screen; prints the seconds from the signal to the exit and to the top score's save.
# Timings vary with the machine's load: run it a few times.
#   bench/close_times.sh PUMKO [SOURCE_DIR]
set -uo pipefail
pumko=$(realpath "$1")
src=$(realpath "${2:-$(dirname "$0")/..}")
work=$(mktemp -d /tmp/pumko-close-times.XXXXXX)
exec 3>"$work/displayfd"
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
trap 'kill $xvfb 2>/dev/null; rm -rf "$work"' EXIT
for _ in $(seq 100); do [[ -s "$work/displayfd" ]] && break; sleep 0.1; done
export DISPLAY=":$(head -n1 "$work/displayfd")" SDL_AUDIODRIVER=dummy

# An area with a walker beside the start: running right meets it at once.
flat="$src/tests/areas/flat.txt"
sed '16s/^|   @     /|   @   w /' "$flat" >"$work/walker.txt"

# key NAME [SECONDS held]
key() {
    xdotool keydown --window "$wid" "$1"
    sleep "${2:-0.1}"
    xdotool keyup --window "$wid" "$1"
}

# measure NAME AREA-OR-EMPTY STEPS...: starts the program, runs the steps (shell commands), sends
# SIGTERM and times the exit.
measure() {
    local name=$1 area=$2
    shift 2
    local home="$work/$name"
    mkdir -p "$home/data"
    cp "$(dirname "$pumko")"/data/*.ogg "$home/data/" 2>/dev/null
    local args=(--window --renderer soft --data-dir "$home/data")
    [[ -n "$area" ]] && args+=(--area "$area")
    HOME="$home" XDG_CONFIG_HOME="$home/config" "$pumko" "${args[@]}" >"$home/out.log" 2>&1 &
    pid=$!
    wid=$(timeout 20 xdotool search --sync --pid "$pid" --name Pumko | head -n1)
    xdotool windowfocus --sync "$wid" 2>/dev/null
    for step in "$@"; do eval "$step"; done
    local t0 t1
    t0=$(date +%s.%N)
    kill -TERM "$pid"
    wait "$pid"
    local rc=$?
    t1=$(date +%s.%N)
    local saved='NOT saved'
    [[ -s $home/data/hiscore.dat ]] && saved="saved after $(echo "$(stat -c %.9Y "$home/data/hiscore.dat") - $t0" | bc) s"
    printf '%-14s exit after %5.2f s (code %d), top score %s\n' "$name" "$(echo "$t1 - $t0" | bc)" "$rc" "$saved"
}

skip_logo='sleep 1.5; key ctrl; sleep 1.5'
to_play='sleep 1.5; key ctrl; sleep 1.5; key ctrl; sleep 2.5'
measure logo "" 'sleep 3'
measure title "" "$skip_logo" 'sleep 1'
measure intro-wait "" "$skip_logo" 'key ctrl; sleep 0.5'
measure intro-card "" "$skip_logo" 'key ctrl; sleep 2'
measure play "" "$skip_logo" 'key ctrl; sleep 1.5; key ctrl; sleep 2.5'
measure death "$work/walker.txt" "$to_play" 'key Right 1'
measure witch-laugh "$work/walker.txt" "$to_play" 'key Right 1; sleep 1'
measure game-over "$work/walker.txt" "$to_play" 'key Right 1; sleep 3.5' 'key ctrl; sleep 2.5; key Right 1; sleep 3.5' \
    'key ctrl; sleep 2.5; key Right 1; sleep 4'

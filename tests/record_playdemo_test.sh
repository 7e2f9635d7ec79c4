#!/bin/bash
# The real program as a player runs it, under Xvfb: pumko --record driven with xdotool and ended by
# SIGTERM in the middle of play leaves a whole recording, which pumko --playdemo plays back in the
# window with every checkpoint equal; a recording of another version or with another map is
# refused, naming what differs.  Usage: record_playdemo_test.sh BUILD_DIR
set -u
bin=$(realpath "$1")/pumko
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work" || exit 1
export HOME="$work" XDG_CONFIG_HOME="$work/config"
fail() { echo "FAIL: $*"; cat "$work"/*.err 2>/dev/null; exit 1; }

xvfb-run -a -s "-screen 0 1024x768x24" bash -c '
    "$0" --window --nosound --data-dir "$PWD/data" --record rec.txt > rec.out 2> rec.err &
    pid=$!
    for i in $(seq 50); do win=$(xdotool search --name "Pumko" 2>/dev/null | head -1); [ -n "$win" ] && break; sleep 0.2; done
    [ -n "$win" ] || { echo "no window"; kill $pid; exit 1; }
    eval "$(xdotool getwindowgeometry --shell "$win")"
    xdotool mousemove $((X + WIDTH / 2)) $((Y + HEIGHT / 2))
    sleep 3; xdotool key Control_L          # the logo
    sleep 2; xdotool key Control_L          # the title: a one-player game
    sleep 3; xdotool key Control_L          # an attempt to skip the intro, which a recording ignores
    sleep 4; xdotool keydown Right
    for j in 1 2 3 4; do sleep 0.6; xdotool key Control_L; done
    xdotool keyup Right
    kill -TERM $pid
    wait $pid
    echo "record exit $?" > rec.code
' "$bin" || fail "the recording run"
grep -q "record exit 0" rec.code || fail "pumko --record ended with $(cat rec.code)"
grep -q "the game is recorded in rec.txt" rec.err || fail "no word of the recording"
frames=$(sed -n 's/^frames //p' rec.txt)
[ "${frames:-0}" -gt 60 ] || fail "only ${frames:-no} play frames recorded"

xvfb-run -a -s "-screen 0 1024x768x24" "$bin" --window --nosound --data-dir "$PWD/data" --playdemo rec.txt \
    > play.out 2> play.err || fail "pumko --playdemo exited $?: $(cat play.out)"
grep -q "of $frames frames, every checkpoint matched" play.out || fail "playback: $(cat play.out)"

sed 's/^version .*/version 0.0.1/' rec.txt > other-version.txt
"$bin" --playdemo other-version.txt 2> version.err && fail "another version's recording was played"
grep -q "recorded by pumko 0.0.1 and this is pumko" version.err || fail "version: $(cat version.err)"
sed 's/^map 2.1 .*/map 2.1 00000000/' rec.txt > other-map.txt
"$bin" --playdemo other-map.txt 2> map.err && fail "a recording with another map was played"
grep -q "the map of area 2.1 differs" map.err || fail "map: $(cat map.err)"
echo "record and playdemo test passed ($frames frames)"

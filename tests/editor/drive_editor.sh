#!/bin/bash
# A player's session with the area editor, driven with xdotool on a virtual screen:
# open a new area, draw a row of bricks with the mouse, put a bonus block and undo it, play-test
# from a column and come back, save; then the saved file must hold the bricks and not the block,
# compile with the map compiler and play with --area.
#   drive_editor.sh PUMKO MAPC WORKDIR WIDTHxHEIGHT   (run inside xvfb-run; screenshots in WORKDIR)
set -u
pumko=$1 mapc=$2 dir=$3 size=$4
W=${size%x*} H=${size#*x}
mkdir -p "$dir"
area=$dir/drawn.txt
rm -f "$area" "$area.autosave"
fail() { echo "FAIL: $*"; kill "$pid" 2>/dev/null; exit 1; }

# The 640 x 480 picture, sharply scaled by a whole or part factor and centred.
scale=$(awk -v w="$W" -v h="$H" 'BEGIN { s = w / 640; if (h / 480 < s) s = h / 480; print s }')
at() { # picture x y -> screen x y
    awk -v s="$scale" -v w="$W" -v h="$H" -v x="$1" -v y="$2" \
        'BEGIN { printf "%d %d", (w - 640 * s) / 2 + x * s, (h - 480 * s) / 2 + y * s }'
}
move() { xdotool mousemove $(at "$1" "$2"); sleep 0.1; }
click() { move "$1" "$2"; xdotool click 1; sleep 0.2; }
cell() { echo $(($1 * 30 + 15)) $((36 + $2 * 30 + 15)); }            # a map cell's centre (view at 0)
palette() { echo $((5 + $1 % 35 * 18 + 9)) $((398 + $1 / 35 * 18 + 9)); } # a palette entry's centre
shot() { import -window root "$dir/$1"; }

# Its own data folder: the top score these runs keep never lands in the build's data/.
mkdir -p "$dir/data"
"$pumko" --edit "$area" --nosound --config "$dir/settings.conf" --data-dir "$dir/data" > "$dir/editor.log" 2>&1 &
pid=$!
xdotool search --sync --onlyvisible --name "Pumko area editor" > /dev/null || fail "no editor window"
sleep 2
shot editor-open.png

click $(palette 21) # brick
move $(cell 8 6)
xdotool mousedown 1
sleep 0.2 # the editor reads the pointer once a frame: let one see the press where it was made
for c in 9 10 11 12 13 14; do move $(cell $c 6); done
xdotool mouseup 1
sleep 0.2
click $(palette 28) # bonus block with a magic
click $(cell 11 3)
move $(palette 28)
sleep 0.3
shot editor-drawn.png
xdotool key ctrl+z
sleep 0.3

# Play-test from column 10, then back.
move $(cell 10 8)
xdotool key t
sleep 4
shot play-test.png
xdotool key Escape
sleep 1
move $(cell 12 4)
sleep 0.3
shot editor-back.png
xdotool key ctrl+s
sleep 0.5
shot editor-saved.png
xdotool key Escape
sleep 1
kill -0 "$pid" 2>/dev/null && fail "the editor did not close on Escape after saving"

[ -f "$area" ] || fail "nothing saved"
row6=$(grep '^|' "$area" | sed -n 7p)
row3=$(grep '^|' "$area" | sed -n 4p)
[ "${row6:9:7}" = "BBBBBBB" ] || fail "the drawn bricks are not in row 6: '${row6:0:30}'"
[ "${row3:12:1}" = " " ] || fail "the undone bonus block was saved: '${row3:0:30}'"
[ -e "$area.autosave" ] && fail "an autosave was left beside a saved file"
"$mapc" -o "$dir" "$area" || fail "the map compiler refused the saved area"
[ -f "$dir/pumkosahrim1.1" ] || fail "no compiled map"
timeout 4 "$pumko" --area "$area" --nosound --config "$dir/settings.conf" --data-dir "$dir/data" > "$dir/area.log" 2>&1
[ $? -eq 124 ] || fail "pumko --area did not play the saved area: $(cat "$dir/area.log")"
echo "editor session passed at $size"

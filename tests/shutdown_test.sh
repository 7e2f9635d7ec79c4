#!/usr/bin/env bash
# The real program ended from outside keeps the top score: SIGTERM, SIGINT and SIGHUP during the
# logo and on the title (without a screen, SDL's offscreen driver), and, under an Xvfb of its own,
# the window destroyed by another program, the program's X connection killed and the X server
# gone. Each run must exit 0 having written data/hiscore.dat (absent before: a save makes it).
#   shutdown_test.sh signals|display PUMKO
set -euo pipefail
mode=$1
pumko=$2
work=$(mktemp -d /tmp/pumko-shutdown-test.XXXXXX)
xvfb_pid=
cleanup() {
    [[ -n "$xvfb_pid" ]] && kill "$xvfb_pid" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT
failures=0

# Starts the program in a scratch home of its own (named $1); sets $pid.
start() {
    local home="$work/$1"
    mkdir -p "$home/data"
    # A shell starts background jobs with SIGINT ignored: the program gets it as from a terminal.
    HOME="$home" XDG_CONFIG_HOME="$home/config" SDL_AUDIODRIVER=dummy env --default-signal=INT \
        "$pumko" --window --renderer soft --data-dir "$home/data" >"$home/out.log" 2>&1 &
    pid=$!
}

# Waits (at most 30 s) for the program started as $1 to end; checks its exit and its saved score.
check() {
    local name=$1 home="$work/$1" rc=0 n=0
    while kill -0 "$pid" 2>/dev/null && ((n < 300)); do
        sleep 0.1
        n=$((n + 1))
    done
    if kill -0 "$pid" 2>/dev/null; then
        kill -KILL "$pid"
        echo "FAIL $name: still running 30 s later"
        failures=$((failures + 1))
        return
    fi
    wait "$pid" || rc=$?
    if [[ $rc -ne 0 || ! -s "$home/data/hiscore.dat" ]]; then
        echo "FAIL $name: exit $rc, top score $( [[ -s $home/data/hiscore.dat ]] && echo saved || echo 'not saved')"
        sed 's/^/    /' "$home/out.log"
        failures=$((failures + 1))
    else
        echo "ok $name"
    fi
}

case $mode in
signals)
    export SDL_VIDEODRIVER=offscreen
    # The logo lasts about nine seconds: a signal at 1.5 s comes during it, one at 12 s on the title.
    for at in 1.5 12; do
        pids=()
        for sig in TERM INT HUP; do
            start "$sig-$at"
            pids+=("$sig-$at:$pid")
        done
        sleep "$at"
        for entry in "${pids[@]}"; do kill -"${entry%%-*}" "${entry##*:}"; done
        for entry in "${pids[@]}"; do
            pid=${entry##*:}
            check "${entry%%:*}"
        done
    done
    ;;
display)
    # An X server of its own on a free display number.
    exec 3>"$work/displayfd"
    Xvfb -displayfd 3 -screen 0 800x600x24 -nolisten tcp >/dev/null 2>&1 &
    xvfb_pid=$!
    for _ in $(seq 100); do [[ -s "$work/displayfd" ]] && break; sleep 0.1; done
    export DISPLAY=":$(head -n1 "$work/displayfd")"
    for how in windowclose windowkill serverkill; do
        start "$how"
        wid=$(timeout 20 xdotool search --sync --pid "$pid" --name "Pumko" | head -n1 || true)
        sleep 1
        case $how in
        windowclose) xdotool windowclose "$wid" ;;
        windowkill) xdotool windowkill "$wid" ;;
        serverkill)
            kill "$xvfb_pid"
            wait "$xvfb_pid" 2>/dev/null || true
            xvfb_pid=
            ;;
        esac
        check "$how"
    done
    ;;
esac
[[ $failures -eq 0 ]] && echo "shutdown test passed"
exit $((failures > 0))

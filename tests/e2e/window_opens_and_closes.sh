#!/usr/bin/env bash
# A window opens under X with its title and icon; Escape closes it through accelerator table 113,
# and a close request from outside (a signal, which SDL turns into its quit event) closes it too.
# A message box is answered without blocking. Every run must end with status 0 within a few
# seconds. Starts and stops its own Xvfb, so it
# runs without a display of its own and beside other tests that start theirs.
set -euo pipefail

name=window_opens_and_closes
source "$(dirname "$0")/lib/x_session.sh"
program=$bin/lf_e2e_window_program
title="lumenfall window test"
# No GL driver in this program: the slow unwinder gives leaks their whole stacks.
export LSAN_OPTIONS="$LSAN_OPTIONS:fast_unwind_on_malloc=0"
require_tools Xvfb xdotool xwininfo xprop import identify
start_xvfb

# Waits up to 15 s for the program's window to be on screen; sets window.
find_window() {
    window=
    for _ in $(seq 150); do
        # Polled here rather than with --sync: xdotool may also see a window more than once.
        window=$(xdotool search --onlyvisible --name "^$title\$" 2>/dev/null | head -n1 || true)
        [[ -n $window ]] && return 0
        sleep 0.1
    done
    return 1
}

# Waits up to 5 s for a line in a run's output.
wait_for_line() {
    for _ in $(seq 50); do
        grep -qx "$2" "$out/$1.log" && return 0
        sleep 0.1
    done
    fail "$1: no '$2'"
}

# Starts the program and waits for its window; sets program_pid and window.
start_program() {
    local run=$1
    shift
    "$program" "$@" >"$out/$run.log" 2>&1 &
    program_pid=$!
    find_window || fail "$run: no window appeared"
}

# Waits up to 10 s for the program to end and checks its status and what it said.
expect_clean_exit() {
    local run=$1
    for _ in $(seq 100); do
        kill -0 "$program_pid" 2>/dev/null || break
        sleep 0.1
    done
    kill -0 "$program_pid" 2>/dev/null && fail "$run: the program did not end"
    local status=0
    wait "$program_pid" || status=$?
    program_pid=
    [[ $status -eq 0 ]] || fail "$run: exit status $status"
    for line in close destroy quit; do
        grep -qx "$line" "$out/$run.log" || fail "$run: no '$line' step"
    done
}

# Run 1: look at the window, then press Escape.
start_program escape
wait_for_line escape "window [0-9]* x [0-9]*"
info=$(xwininfo -id "$window") || fail "window vanished"
grep -q "Map State: IsViewable" <<<"$info" || fail "window not viewable"
size=$(grep -oE 'window [0-9]+ x [0-9]+' "$out/escape.log" | grep -oE '[0-9]+' | paste -sd' ')
width=$(awk '/Width:/ {print $2}' <<<"$info")
height=$(awk '/Height:/ {print $2}' <<<"$info")
[[ "$width $height" == "$size" ]] || fail "X window is ${width}x${height}, the program's client area $size"
xprop -id "$window" _NET_WM_ICON | grep -q "32 x 32" || fail "icon 101 did not reach the window"
# Nothing draws into the window here (that is the graphics layer's job), so the pictures show
# where it is, not what it holds: the screen, and the window's own area at the client size.
import -window root "$out/screen.png" || fail "no screenshot"
[[ $(identify -format '%w %h' "$out/screen.png") == "640 480" ]] || fail "screenshot is not the screen"
import -window "$window" "$out/window.png" || fail "no picture of the window"
[[ $(identify -format '%w %h' "$out/window.png") == "$size" ]] || fail "window picture is not $size"
# Sizes and places made by the window system reach the program as WM_SIZE and WM_MOVE.
xdotool windowsize "$window" 400 300
xdotool windowmove "$window" 100 120
wait_for_line escape "size 400 x 300"
wait_for_line escape "move 100 120"
xdotool mousemove --window "$window" 20 20
xdotool key Escape 2>>"$out/xdotool.log" || true
expect_clean_exit escape
grep -qx "command exit" "$out/escape.log" || fail "Escape did not give the exit command"

# Run 2: a close request from outside.
start_program signal
kill -TERM "$program_pid"
expect_clean_exit signal
grep -qx "command exit" "$out/signal.log" && fail "the signal run saw the exit command"

# Run 3: the warning box. Where SDL can show it (its X11 box needs the server's text fonts),
# Return answers it with OK; where it cannot, the text goes to standard error and OK comes back
# at once. Either way the program goes on to its window.
"$program" box >"$out/box.log" 2>&1 &
program_pid=$!
box=
for _ in $(seq 100); do
    # Windows come and go while the tree is walked; a failed walk is simply tried again.
    box=$(xwininfo -root -tree 2>/dev/null | awk '/"Ichk."/ {print $1; exit}' || true)
    [[ -n $box ]] && break
    grep -q "^box answered" "$out/box.log" && break
    sleep 0.1
done
if [[ -n $box ]]; then
    import -window root "$out/box.png" || true
    xdotool mousemove --window "$box" 10 10
    xdotool key Return 2>>"$out/xdotool.log" || true
    shown="on screen"
else
    grep -qx "Ichk.: Something doesn't like to work..." "$out/box.log" ||
        fail "box: neither shown nor written to standard error"
    shown="on standard error (no box possible on this display)"
fi
find_window || fail "box: no window after the box"
grep -qx "box answered 1" "$out/box.log" || fail "box: not answered with IDOK"
kill -TERM "$program_pid"
expect_clean_exit box

echo "window opened and closed by Escape and by a close request; box $shown; pictures in $out"

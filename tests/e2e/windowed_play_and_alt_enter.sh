#!/usr/bin/env bash
# Windowed play: with --window the show starts in a window of that size (not covering the
# screen), Alt+Enter takes it to full screen and back at any time, the letterbox showing right in
# each, and Escape still ends it. Screenshots of each state are kept in $out.
set -euo pipefail
name=windowed_play_and_alt_enter
screen=1280x1024x24
source "$(dirname "$0")/lib/demo_session.sh"

# expect_geometry width height: the window's size on the screen, once it has settled.
expect_geometry() {
    for _ in $(seq 50); do
        window_geometry
        ((win_w == $1 && win_h == $2)) && return 0
        sleep 0.1
    done
    fail "the window is ${win_w}x${win_h}, not $1x$2"
}

start_xvfb
start_program run "$bin/lumenfall" --window 800x600
find_window
wait_for_letterbox 30
expect_geometry 800 600
((win_x > 0 && win_y > 0)) || fail "the play window is not centred (at $win_x,$win_y)"
cp "$out/screen.png" "$out/1-window.png"

xdotool windowfocus "$window" key alt+Return 2>>"$out/xdotool.log"
expect_geometry 1280 1024
sleep 1
import -window root "$out/2-full-screen.png"
problem=$(letterbox_problem "$out/2-full-screen.png")
[[ -z $problem ]] || fail "in full screen: $problem"

xdotool windowfocus "$window" key alt+Return 2>>"$out/xdotool.log"
expect_geometry 800 600
sleep 1
import -window root "$out/3-window-again.png"
problem=$(letterbox_problem "$out/3-window-again.png")
[[ -z $problem ]] || fail "back in the window: $problem"
kill -0 "$program_pid" 2>/dev/null || fail "the program ended"

press Escape
wait_exit 10
[[ $status -eq 0 ]] || fail "exit status $status after Escape"
echo "started in an 800x600 window, Alt+Enter to full screen and back; pictures in $out"

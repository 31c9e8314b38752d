#!/usr/bin/env bash
# The whole show from the first frame to the end: the program starts, the start-up dialog (when
# it can be shown) is answered with Return, the five scenes follow each other, and the program
# ends by itself with status 0. The demo's own WinMain runs on a clock five times as fast, so the
# two minutes take about 24 s. One screenshot is taken well inside each scene (shown in
# $out/<scene>.png for looking at); each must show the letterbox and something bright drawn
# between its bars, and no two may be alike.
set -euo pipefail
name=show_plays_through
source "$(dirname "$0")/lib/demo_session.sh"

factor=5

# frame_ok picture: the letterbox's bars black, the picture between them at least the clear
# colour, and somewhere in the middle something well above the clear colour (grey 22).
frame_ok() {
    local picture=$1 pixel point
    window_geometry
    for point in "320 6" "40 20" "600 20" "320 472" "40 460" "600 460"; do
        pixel=$(frame_pixel "$picture" $point)
        is_black "$pixel" || { echo "frame point ($point) is $pixel, not a black bar"; return; }
    done
    for point in "8 150" "632 330"; do
        pixel=$(frame_pixel "$picture" $point)
        at_least_clear_colour "$pixel" ||
            { echo "frame point ($point) is $pixel, not the clear colour or lighter"; return; }
    done
    local brightest
    brightest=$(convert "$picture" -crop "$((win_w / 2))x$((win_h / 2))+$((win_x + win_w / 4))+$((win_y + win_h / 4))" \
        -colorspace Gray -format "%[fx:int(255*maxima)]" info:)
    ((brightest >= 64)) || echo "nothing bright in the middle (brightest grey $brightest)"
}

now_ms() { echo $(($(date +%s%N) / 1000000)); }

start_xvfb
started=$SECONDS
start_program run "$bin/lf_e2e_fast_clock_program" "$factor"
find_window

# Return confirms the dialog whenever it is up and does nothing in the show; the first picture
# with the letterbox marks the start of the show.
problem="no frame yet"
for _ in $(seq 100); do
    press Return
    sleep 0.2
    import -window root "$out/first.png" 2>/dev/null || true
    problem=$(frame_ok "$out/first.png")
    [[ -z $problem ]] && break
    kill -0 "$program_pid" 2>/dev/null || fail "the program ended before the show; $problem"
done
[[ -z $problem ]] || fail "the show did not start: $problem"
show_start=$(now_ms)

# Show times in milliseconds, each far enough inside its scene that a late start of a few
# seconds (the dialog, the first screenshots) still lands in it.
previous=
for moment in "title 5000" "swarm 19000" "planes 37000" "rosette 61500" "finale 95000"; do
    read -r scene at <<<"$moment"
    due=$((show_start + at / factor))
    while (($(now_ms) < due)); do
        sleep 0.02
    done
    kill -0 "$program_pid" 2>/dev/null || fail "the program ended before the $scene scene"
    import -window root "$out/$scene.png"
    problem=$(frame_ok "$out/$scene.png")
    [[ -z $problem ]] || fail "$scene: $problem"
    if [[ -n $previous ]]; then
        difference=$(compare -metric AE -fuzz 5% "$out/$previous.png" "$out/$scene.png" null: 2>&1 || true)
        ((${difference%%.*} > 2000)) || fail "$scene looks like $previous ($difference pixels differ)"
    fi
    previous=$scene
done

wait_exit 60
elapsed=$((SECONDS - started))
[[ $status -eq 0 ]] || fail "exit status $status"
[[ -z $(box_window) ]] || fail "an error box is up"
# 118 s at five times the speed is 23.6 s.
((elapsed >= 20)) || fail "ended after ${elapsed} s, before the show could have run"
echo "the show played through its five scenes and ended by itself after ${elapsed} s; pictures in $out"

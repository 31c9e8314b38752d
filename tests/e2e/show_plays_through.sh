#!/usr/bin/env bash
# The whole show from the first frame to the end: the program starts, the start-up dialog (when
# it can be shown) is answered with Return, the five scenes follow each other, and the program
# ends by itself with status 0. The demo's own WinMain runs on a clock five times as fast, so the
# two minutes take about 24 s. One screenshot is taken well inside each scene (kept as
# $out/<scene>.png for looking at); each must show the letterbox and something drawn between its
# bars, and no two may be alike. Pictures are only taken while the show runs and are judged after
# it has ended, so that slow checks on a busy machine cannot make a screenshot late.
set -euo pipefail
name=show_plays_through
source "$(dirname "$0")/lib/demo_session.sh"

factor=5

now_ms() { echo $(($(date +%s%N) / 1000000)); }

# screen_points fx fy [fx fy ...]: the screen positions of frame points of a 640 x 480 frame shown
# in `window`, scaled with its aspect kept and centred, as the platform presents frames.
screen_points() {
    while (($# >= 2)); do
        awk -v w="$win_w" -v h="$win_h" -v ox="$win_x" -v oy="$win_y" -v fx="$1" -v fy="$2" \
            'BEGIN { s = w / 640; if (h / 480 < s) s = h / 480;
                     px = (w - 640 * s) / 2; py = (h - 480 * s) / 2;
                     printf "%d %d\n", ox + px + (fx + 0.5) * s, oy + py + (fy + 0.5) * s }'
        shift 2
    done
}

# pixels picture: "r g b" of each point of CHECK_FORMAT, one line each, in one ImageMagick run.
pixels() {
    convert "$1" -format "$CHECK_FORMAT" info:
}

# fast_letterbox_problem picture: what is wrong, or nothing when the bars are black and the
# picture between them is the clear colour or lighter; like the session's letterbox check, but
# in one ImageMagick run, quick enough to mark the start of the show closely.
# Six points on the bars, then two on the picture between them.
CHECK_POINTS=(320 6 40 20 600 20 320 472 40 460 600 460 8 150 632 330)
fast_letterbox_problem() {
    local picture=$1 i=0
    local -a found
    mapfile -t found < <(pixels "$picture")
    ((${#found[@]} == 8)) || { echo "the picture could not be read"; return; }
    for ((i = 0; i < 6; i++)); do
        is_black "${found[i]}" || { echo "bar point $i is ${found[i]}, not black"; return; }
    done
    for ((i = 6; i < 8; i++)); do
        at_least_clear_colour "${found[i]}" ||
            { echo "picture point $((i - 6)) is ${found[i]}, darker than the clear colour"; return; }
    done
}

start_xvfb
started=$SECONDS
start_program run "$bin/lf_e2e_fast_clock_program" "$factor"
find_window
# The window covers the screen for the whole show; its geometry is read once.
window_geometry
CHECK_FORMAT=
while read -r x y; do
    CHECK_FORMAT+="%[fx:int(255*p{$x,$y}.r)] %[fx:int(255*p{$x,$y}.g)] %[fx:int(255*p{$x,$y}.b)]\n"
done < <(screen_points "${CHECK_POINTS[@]}")

# Return confirms the dialog whenever it is up and does nothing in the show. The moment of the
# first screenshot with the letterbox stands for the start of the show: the show began at most
# one round of this loop before it.
problem="no frame yet"
for _ in $(seq 150); do
    press Return
    sleep 0.1
    shot_at=$(now_ms)
    import -window root "$out/first.png" 2>/dev/null || true
    problem=$(fast_letterbox_problem "$out/first.png")
    [[ -z $problem ]] && break
    kill -0 "$program_pid" 2>/dev/null || fail "the program ended before the show; $problem"
done
[[ -z $problem ]] || fail "the show did not start: $problem"
show_start=$shot_at

# Show times in milliseconds. The show started at most one round of the loop above before
# show_start, so a picture comes at or a little after its time: each time leaves a few seconds
# before the scene's end or the next scene's overlap (title alone until 13 s, swarm alone 15 to
# 26 s, planes alone 30 to 48 s, rosette alone 60 to 66 s).
scenes=(title swarm planes rosette finale)
times=(5000 17000 34000 60200 95000)
for i in "${!scenes[@]}"; do
    due=$((show_start + times[i] / factor))
    while (($(now_ms) < due)); do
        sleep 0.01
    done
    kill -0 "$program_pid" 2>/dev/null || fail "the program ended before the ${scenes[i]} scene"
    import -window root "$out/${scenes[i]}.png"
done

wait_exit 60
elapsed=$((SECONDS - started))
[[ $status -eq 0 ]] || fail "exit status $status"
[[ -z $(box_window) ]] || fail "an error box is up"
# 118 s at five times the speed is 23.6 s.
((elapsed >= 20)) || fail "ended after ${elapsed} s, before the show could have run"

previous=
for scene in "${scenes[@]}"; do
    problem=$(fast_letterbox_problem "$out/$scene.png")
    [[ -z $problem ]] || fail "$scene: $problem"
    brightest=$(convert "$out/$scene.png" \
        -crop "$((win_w / 2))x$((win_h / 2))+$((win_x + win_w / 4))+$((win_y + win_h / 4))" \
        -colorspace Gray -format "%[fx:int(255*maxima)]" info:)
    # The clear colour is grey 22; anything drawn in the middle lifts it well above that.
    ((brightest >= 64)) || fail "$scene: nothing drawn in the middle (brightest grey $brightest)"
    if [[ -n $previous ]]; then
        difference=$(compare -metric AE -fuzz 5% "$out/$previous.png" "$out/$scene.png" null: 2>&1 || true)
        ((${difference%%.*} > 2000)) || fail "$scene looks like $previous ($difference pixels differ)"
    fi
    previous=$scene
done
echo "the show played through its five scenes and ended by itself after ${elapsed} s; pictures in $out"

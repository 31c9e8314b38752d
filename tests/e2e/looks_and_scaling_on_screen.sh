#!/usr/bin/env bash
# The looks and the scaling modes on a 1920 x 1080 screen: each run shows the letterbox where its
# scaling mode places the 640 x 480 picture (integer scaling at exactly twice, centred, black
# around it), and one screenshot per run is kept in $out for looking at: authentic and clean at
# fit, then integer and stretch.
set -euo pipefail
name=looks_and_scaling_on_screen
screen=1920x1080x24
source "$(dirname "$0")/lib/demo_session.sh"

# show run_name scaling [options...]: starts the show with the options, checks its letterbox and
# the picture's edges for the scaling mode, keeps the screenshot and ends it with Escape.
show() {
    local run=$1
    scaling=$2
    shift 2
    start_program "$run" "$bin/lumenfall" --scaling "$scaling" "$@"
    find_window
    wait_for_letterbox 40
    cp "$out/screen.png" "$out/$run.png"
    local bx by bw bh middle
    window_geometry
    read -r bx by bw bh < <(picture_box)
    middle=$((by + bh / 2))
    at_least_clear_colour "$(screen_pixel "$out/$run.png" "$bx" "$middle")" ||
        fail "$run: the picture does not reach its left edge at x $bx"
    at_least_clear_colour "$(screen_pixel "$out/$run.png" $((bx + bw - 1)) "$middle")" ||
        fail "$run: the picture does not reach its right edge at x $((bx + bw - 1))"
    if ((bx > 0)); then
        is_black "$(screen_pixel "$out/$run.png" $((bx - 1)) "$middle")" ||
            fail "$run: the picture reaches beyond its left edge at x $bx"
        is_black "$(screen_pixel "$out/$run.png" $((bx + bw)) "$middle")" ||
            fail "$run: the picture reaches beyond its right edge at x $((bx + bw))"
    fi
    press Escape
    wait_exit 15
    [[ $status -eq 0 ]] || fail "$run: exit status $status after Escape"
}

start_xvfb
show authentic fit
show clean fit --look clean
show integer integer --filter nearest
scaling=integer
read -r _ _ width height < <(win_w=1920 win_h=1080 win_x=0 win_y=0 picture_box)
((width == 1280 && height == 960)) || fail "integer scaling placed ${width}x$height"
show stretch stretch --internal 2x
echo "authentic, clean, integer and stretch shown as their modes place them; pictures in $out"

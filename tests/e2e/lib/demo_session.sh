# Shared steps of the demo's end-to-end scripts (sourced, not run), over x_session.sh: the
# program started and found by its process, message boxes found by their caption and answered,
# the picture sampled.
#
# The sourcing script sets `name` first; everything it makes goes to $out.

source "$(dirname "${BASH_SOURCE[0]}")/x_session.sh"
# The registry is the built-in default (media beside the program) unless a script names one.
export LUMENFALL_REGISTRY=$out/no-registry.ini
require_tools Xvfb xdotool xwininfo import convert

# start_program log program [arguments...]: runs it in the background (sets program_pid).
start_program() {
    local log=$1
    shift
    "$@" >"$out/$log.log" 2>&1 &
    program_pid=$!
}

# find_window: the program's visible window (by its process); sets `window`.
find_window() {
    window=$(timeout 20 xdotool search --sync --onlyvisible --pid "$program_pid" 2>/dev/null |
        head -n1) || fail "no window of the program appeared"
}

# box_window: the id of a visible message box ("Ichk."), or nothing.
box_window() {
    xwininfo -root -tree 2>/dev/null | awk '/"Ichk\."/ {print $1; exit}'
}

# answer_boxes count seconds: answers boxes with Return as they come, for up to `seconds`,
# stopping after `count` of them (counting those that could not be shown); sets `answered`.
answer_boxes() {
    local count=$1 seconds=$2 box
    answered=0
    local deadline=$((SECONDS + seconds))
    while ((answered + $(boxes_not_shown) < count && SECONDS < deadline)); do
        box=$(box_window)
        if [[ -z $box ]]; then
            kill -0 "$program_pid" 2>/dev/null || break
            sleep 0.1
            continue
        fi
        import -window root "$out/box-$answered.png" 2>/dev/null || true
        # The focus is given to the box: without a window manager the main window keeps it.
        xdotool windowfocus "$box" key Return 2>>"$out/xdotool.log" || true
        answered=$((answered + 1))
        # Wait for that box to go before looking for the next one.
        for _ in $(seq 50); do
            xwininfo -id "$box" >/dev/null 2>&1 || break
            sleep 0.1
        done
    done
}

# boxes_reported text: how many boxes with this text the program put up, shown or not (each
# goes to standard error as "Ichk.: <text>").
boxes_reported() {
    local n
    n=$(grep -c -F "Ichk.: $1" "$out/run.log" 2>/dev/null) || true
    echo "${n:-0}"
}

# boxes_not_shown: how many boxes could not be shown on this display (answered OK by the
# platform itself).
boxes_not_shown() {
    local n
    n=$(grep -c -F "SDL: message box:" "$out/run.log" 2>/dev/null) || true
    echo "${n:-0}"
}

# press key: a key to the program's window (found by find_window).
press() {
    xdotool windowfocus "$window" key "$1" 2>>"$out/xdotool.log" || true
}

# wait_exit seconds: waits for the program to end and sets `status`; fails when it does not.
wait_exit() {
    local seconds=$1
    for _ in $(seq $((seconds * 10))); do
        kill -0 "$program_pid" 2>/dev/null || break
        sleep 0.1
    done
    kill -0 "$program_pid" 2>/dev/null && fail "the program did not end within $seconds s"
    status=0
    wait "$program_pid" || status=$?
    program_pid=
}

# Geometry of `window` on the screen: win_x win_y win_w win_h.
window_geometry() {
    local info
    info=$(xwininfo -id "$window")
    win_x=$(awk '/Absolute upper-left X:/ {print $4}' <<<"$info")
    win_y=$(awk '/Absolute upper-left Y:/ {print $4}' <<<"$info")
    win_w=$(awk '/Width:/ {print $2}' <<<"$info")
    win_h=$(awk '/Height:/ {print $2}' <<<"$info")
}

# picture_box: where a 640 x 480 frame lies in `window` as the platform places it by the scaling
# mode in $scaling (fit, the default: aspect kept; integer: the largest whole multiple; stretch:
# the whole window), centred: "x y width height" on the screen.
picture_box() {
    awk -v w="$win_w" -v h="$win_h" -v ox="$win_x" -v oy="$win_y" -v mode="${scaling:-fit}" 'BEGIN {
        sx = w / 640; if (h / 480 < sx) sx = h / 480; sy = sx;
        if (mode == "integer" && int(sx) >= 1) { sx = int(sx); sy = sx }
        if (mode == "stretch") { sx = w / 640; sy = h / 480 }
        bw = int(640 * sx + 0.5); bh = int(480 * sy + 0.5);
        printf "%d %d %d %d\n", ox + int((w - bw) / 2), oy + int((h - bh) / 2), bw, bh }'
}

# screen_pixel picture x y: the colour "r g b" at a point of the screenshot.
screen_pixel() {
    convert "$1" -format "%[fx:int(255*p{$2,$3}.r)] %[fx:int(255*p{$2,$3}.g)] %[fx:int(255*p{$2,$3}.b)]" info:
}

# frame_pixel picture fx fy: the colour "r g b" at point (fx, fy) of a 640 x 480 frame shown in
# `window`, placed as picture_box says.
frame_pixel() {
    local picture=$1 fx=$2 fy=$3
    local bx by bw bh
    read -r bx by bw bh < <(picture_box)
    screen_pixel "$picture" $((bx + (2 * fx + 1) * bw / 1280)) $((by + (2 * fy + 1) * bh / 960))
}

# is_black "r g b"
is_black() {
    local r g b
    read -r r g b <<<"$1"
    ((r <= 8 && g <= 8 && b <= 8))
}

# at_least_clear_colour "r g b": the clear colour 0x001843 (RGB565-quantised) or lighter, as
# additive scene drawing only ever adds to it.
at_least_clear_colour() {
    local r g b
    read -r r g b <<<"$1"
    ((g >= 21 && b >= 62))
}

# letterbox_problem picture: prints what is wrong with the picture, or nothing when it shows
# black bars over the top and bottom of the frame and the clear colour (or lighter) between.
letterbox_problem() {
    local picture=$1 pixel point
    window_geometry
    for point in "320 6" "40 20" "600 20" "320 472" "40 460" "600 460"; do
        pixel=$(frame_pixel "$picture" $point)
        is_black "$pixel" || { echo "frame point ($point) is $pixel, not a black bar"; return; }
    done
    for point in "320 240" "8 150" "632 330" "320 100" "320 380"; do
        pixel=$(frame_pixel "$picture" $point)
        at_least_clear_colour "$pixel" ||
            { echo "frame point ($point) is $pixel, not the clear colour"; return; }
    done
}

# wait_for_letterbox seconds: takes screenshots until one shows the letterbox (slow builds take
# a while for their first frame); it stays in $out/screen.png. Return is pressed before each:
# it confirms the start-up dialog whenever that is up, and does nothing in the show.
wait_for_letterbox() {
    local deadline=$((SECONDS + $1)) problem
    while :; do
        press Return
        sleep 0.5
        import -window root "$out/screen.png" 2>/dev/null || true
        problem=$(letterbox_problem "$out/screen.png")
        [[ -z $problem ]] && return 0
        ((SECONDS < deadline)) || fail "$problem"
        kill -0 "$program_pid" 2>/dev/null || fail "the program ended; $problem"
    done
}

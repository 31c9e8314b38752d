#!/usr/bin/env bash
# The start-up dialog on screen, over the demo's first frame, with the real driver set (the GL
# window device, listed first and chosen by default, and the software device). The runner prints
# "3D device made: <name>" each time a 3D device is made, so the script sees on which device the
# environment is built and whether it was rebuilt. Four runs on one Xvfb:
#   1. the dialog's place and look against template 144; Return continues on the same device;
#   2. Down, Return picks the software device with the keyboard: the environment is rebuilt on it;
#   3. the same with the mouse: the drop button, the second row, "c o n t i n u e";
#   4. Escape cancels: the show goes on on the first device, and a second Escape ends it.
set -euo pipefail
name=device_dialog_on_screen
source "$(dirname "$0")/lib/demo_session.sh"

program=$bin/lf_e2e_device_trace_program
# Template 144 is 182 x 86 dialog units: 273 x 139 pixels with the 8-point dialog font's 6 x 13
# pixel characters, 275 x 141 with the 1-pixel border; centred on the 640 x 480 screen.
dialog_w=275
dialog_h=141
expected_x=$(((640 - 273) / 2 - 1))
expected_y=$(((480 - 139) / 2 - 1))

# find_dialog: waits for the program's dialog window (the one of the dialog's size); sets
# dialog, dialog_x, dialog_y.
find_dialog() {
    local deadline=$((SECONDS + 30)) candidate info
    dialog=
    while ((SECONDS < deadline)); do
        kill -0 "$program_pid" 2>/dev/null || fail "the program ended before its dialog came up"
        for candidate in $(xdotool search --onlyvisible --pid "$program_pid" 2>/dev/null); do
            info=$(xwininfo -id "$candidate" 2>/dev/null) || continue
            if [[ $(awk '/Width:/ {print $2}' <<<"$info") == "$dialog_w" &&
                $(awk '/Height:/ {print $2}' <<<"$info") == "$dialog_h" ]]; then
                dialog=$candidate
                dialog_x=$(awk '/Absolute upper-left X:/ {print $4}' <<<"$info")
                dialog_y=$(awk '/Absolute upper-left Y:/ {print $4}' <<<"$info")
                return 0
            fi
        done
        sleep 0.2
    done
    fail "no dialog window of $dialog_w x $dialog_h appeared"
}

# wait_dialog_gone: fails when the dialog is still on the screen after 10 s (its window is
# hidden when the dialog ends, and kept for another dialog).
wait_dialog_gone() {
    for _ in $(seq 100); do
        xwininfo -id "$dialog" 2>/dev/null | grep -q "Map State: IsViewable" || return 0
        sleep 0.1
    done
    fail "the dialog did not close"
}

# devices_made: the "3D device made" lines so far.
devices_made() {
    grep -F "3D device made: " "$out/$run.log" || true
}

# wait_devices count: waits up to 20 s for that many devices to have been made.
wait_devices() {
    for _ in $(seq 200); do
        (($(devices_made | wc -l) >= $1)) && return 0
        sleep 0.1
    done
    fail "expected $1 device(s) made, saw: $(devices_made | tr '\n' ';')"
}

# dialog_pixel x y: "r g b" at (x, y) of the dialog window, from $out/$run-dialog.png.
dialog_pixel() {
    convert "$out/$run-dialog.png" -format \
        "%[fx:int(255*p{$1,$2}.r)] %[fx:int(255*p{$1,$2}.g)] %[fx:int(255*p{$1,$2}.b)]" info:
}

expect_pixel() {
    local got
    got=$(dialog_pixel "$1" "$2")
    [[ $got == "$3" ]] || fail "dialog pixel ($1, $2) is $got, expected $3 ($4)"
}

# screenshot: the screen to $out/$run.png and the dialog's part of it to $out/$run-dialog.png.
screenshot() {
    import -window root "$out/$run.png"
    convert "$out/$run.png" -crop "${dialog_w}x${dialog_h}+$dialog_x+$dialog_y" +repage \
        "$out/$run-dialog.png"
}

# start run: the program with its log in $out/$run.log, and its dialog found.
start() {
    run=$1
    start_program "$run" "$program"
    find_dialog
    sleep 0.5 # the first drawing
}

# finish: Escape to the show ends it with status 0.
finish() {
    sleep 1
    kill -0 "$program_pid" 2>/dev/null || fail "the show ended by itself"
    xdotool key Escape 2>>"$out/xdotool.log" || true
    wait_exit 15
    [[ $status -eq 0 ]] || fail "exit status $status after Escape"
}

black="0 0 0"
white="255 255 255"
face="192 192 192"
shadow="128 128 128"
navy="0 0 128"

start_xvfb

# ---- 1. Place, look, Return --------------------------------------------------------------------
start look
((dialog_x == expected_x && dialog_y == expected_y)) ||
    fail "dialog at $dialog_x, $dialog_y; expected centred at $expected_x, $expected_y"
screenshot
# Dialog pixel = client pixel + 1 for the border. Client positions from the template's dialog
# units: x * 6 / 4, y * 13 / 8.
expect_pixel 0 0 "$black" "border"
expect_pixel 274 140 "$black" "border"
expect_pixel 270 6 "$face" "dialog face"
# "c o n t i n u e" at 128, 62, 50 x 15 units: pixels 192..267 x 100..125, framed in black as the
# default button, white bevel inside the frame.
expect_pixel 230 101 "$black" "default button frame"
expect_pixel 230 102 "$white" "button bevel"
expect_pixel 267 113 "$black" "default button frame"
# The device list at 15, 65, 99 units wide: a sunken white field from 22, 105, 21 pixels tall,
# the device's name selected (the list has the keyboard), the drop button at its right end.
expect_pixel 23 106 "$shadow" "list field edge"
expect_pixel 141 116 "$white" "list field"
expect_pixel 26 116 "$navy" "selected name in the list field"
expect_pixel 169 116 "$black" "drop button's dark edge"
# The group box at 3, 55, 121 x 27 units: its etched bottom line at pixel rows 131 and 132.
expect_pixel 100 132 "$shadow" "group box line"
expect_pixel 100 133 "$white" "group box line"
# The three texts: dark pixels in each of their lines.
for band in "14 3 230 13" "14 28 230 13" "14 53 230 26"; do
    read -r bx by bw bh <<<"$band"
    dark=$(convert "$out/$run-dialog.png" -crop "${bw}x${bh}+$bx+$by" +repage -colorspace gray \
        -threshold 40% -negate -format "%[fx:int(mean*w*h)]" info:)
    ((dark > 40)) || fail "no text in the band $band (only $dark dark pixels)"
done
# Over the first frame: the dialog lies above the main window (children are listed top first).
find_window
stacking=$(xwininfo -root -children | awk '$1 ~ /^0x/ {print $1}')
dialog_rank= main_rank= rank=0
for id in $stacking; do
    rank=$((rank + 1))
    (($((id)) == dialog)) && dialog_rank=$rank
    (($((id)) == window)) && main_rank=$rank
done
[[ -n $dialog_rank && -n $main_rank ]] || fail "dialog or main window not on the screen"
((dialog_rank < main_rank)) || fail "the dialog is not above the main window"

xdotool key Return 2>>"$out/xdotool.log" || true
wait_dialog_gone
sleep 1
(($(devices_made | wc -l) == 1)) || fail "Return rebuilt the environment: $(devices_made)"
devices_made | grep -q "3D device made: OpenGL" || fail "the show is not on the GL device"
finish

# ---- 2. Keyboard: Down, Return -----------------------------------------------------------------
start keyboard
xdotool key Down 2>>"$out/xdotool.log" || true
sleep 0.3
screenshot
xdotool key Return 2>>"$out/xdotool.log" || true
wait_dialog_gone
wait_devices 2
devices_made | tail -n1 | grep -q "3D device made: Software" ||
    fail "Down, Return did not rebuild on the software device: $(devices_made | tr '\n' ';')"
finish

# ---- 3. Mouse: the drop button, the second row, "c o n t i n u e" ------------------------------
start mouse
# The drop button's middle: client 161, 115.
xdotool mousemove $((dialog_x + 162)) $((dialog_y + 116)) click 1 2>>"$out/xdotool.log" || true
sleep 0.3
screenshot
# Two rows open above the field (no room below): rows at client y 78..90 and 91..103.
expect_pixel 151 85 "$navy" "the highlighted first row of the dropped list"
expect_pixel 151 98 "$white" "the second row of the dropped list"
xdotool mousemove $((dialog_x + 60)) $((dialog_y + 98)) click 1 2>>"$out/xdotool.log" || true
sleep 0.3
xdotool mousemove $((dialog_x + 230)) $((dialog_y + 114)) click 1 2>>"$out/xdotool.log" || true
wait_dialog_gone
wait_devices 2
devices_made | tail -n1 | grep -q "3D device made: Software" ||
    fail "the mouse did not rebuild on the software device: $(devices_made | tr '\n' ';')"
finish

# ---- 4. Escape cancels -------------------------------------------------------------------------
start escape
xdotool key Down Escape 2>>"$out/xdotool.log" || true
wait_dialog_gone
sleep 1
kill -0 "$program_pid" 2>/dev/null || fail "Escape in the dialog ended the program"
(($(devices_made | wc -l) == 1)) || fail "a cancelled dialog rebuilt the environment"
finish

echo "the dialog showed over the first frame, kept or changed the device by keyboard and mouse," \
    "and Escape cancelled it; pictures in $out"

#!/usr/bin/env bash
# On a display without GL (Xvfb without its GLX extension) the hardware-class device cannot come
# up: one error box, answered by the test, and then the show runs on the software device in
# full screen until Escape ends it.
set -euo pipefail
name=demo_falls_back_without_gl
source "$(dirname "$0")/lib/demo_session.sh"

start_xvfb -extension GLX
start_program run "$bin/lumenfall"
answer_boxes 1 30
find_window
kill -0 "$program_pid" 2>/dev/null || fail "the show did not go on after the box"
[[ -z $(box_window) ]] || fail "a second box came up"
reported=$(boxes_reported "Something doesn't like to work...")
((reported == 1)) || fail "$reported error boxes, expected one"
((answered + $(boxes_not_shown) == 1)) || fail "the error box was neither shown nor reported"
wait_for_letterbox 30
press Escape
wait_exit 10
[[ $status -eq 0 ]] || fail "exit status $status after Escape"
echo "one box for the hardware device, then the show ran on software; picture in $out/screen.png"

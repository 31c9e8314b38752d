#!/usr/bin/env bash
# The demo starts under X, shows its picture (the clear colour between black letterbox bars)
# and Escape ends it with status 0 through the accelerator table.
set -euo pipefail
name=demo_shows_and_escapes
source "$(dirname "$0")/lib/demo_session.sh"

start_xvfb
start_program run "$bin/lumenfall"
find_window
# The first frame opens the start-up dialog; Return confirms the device shown (if the dialog
# cannot be shown, the key does nothing).
kill -0 "$program_pid" 2>/dev/null || fail "the program ended by itself"
[[ -z $(box_window) ]] || fail "an error box came up"
wait_for_letterbox 30

press Escape
wait_exit 10
[[ $status -eq 0 ]] || fail "exit status $status after Escape"
echo "the demo showed its letterbox and ended on Escape; picture in $out/screen.png"

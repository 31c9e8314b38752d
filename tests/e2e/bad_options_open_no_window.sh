#!/usr/bin/env bash
# A bad option or value ends the program with status 2 and a message naming it, before any
# window opens.
set -euo pipefail
name=bad_options_open_no_window
source "$(dirname "$0")/lib/demo_session.sh"

start_xvfb
for arguments in "--internal 5x" "--msaa 3" "--look=modern" "--window 640" "--max-fps 0" \
    "--scaling zoom" "--filter" "--unknown"; do
    # shellcheck disable=SC2086
    start_program bad "$bin/lumenfall" $arguments
    wait_exit 10
    ((status == 2)) || fail "$arguments: exit status $status, not 2"
    grep -q "^lumenfall: " "$out/bad.log" || fail "$arguments: no message"
    xwininfo -root -children | grep -q "^ *0 children" || fail "$arguments: a window opened"
done
echo "every bad option was refused with status 2 and no window"

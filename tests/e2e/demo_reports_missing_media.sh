#!/usr/bin/env bash
# With all eight media files missing, the demo shows one "File not found." box for each (the
# test answers them) and then ends by itself with status 0.
set -euo pipefail
name=demo_reports_missing_media
source "$(dirname "$0")/lib/demo_session.sh"

# An empty working directory and a registry naming a media folder that does not exist.
mkdir -p "$out/empty"
printf '[HKEY_LOCAL_MACHINE\\Software\\Quorvane\\DirectX]\nKestrel Samples Path=%s\n' \
    "$out/nowhere" >"$out/registry.ini"
export LUMENFALL_REGISTRY=$out/registry.ini

start_xvfb
cd "$out/empty"
start_program run "$bin/lumenfall"
answer_boxes 8 60
wait_exit 20
[[ $status -eq 0 ]] || fail "exit status $status"
reported=$(boxes_reported "File not found.")
not_shown=$(boxes_not_shown)
((reported == 8)) || fail "$reported \"File not found.\" boxes, expected 8"
((answered + not_shown == 8)) ||
    fail "$answered boxes answered on screen and $not_shown not shown, expected 8 in all"
[[ -z $(box_window) ]] || fail "a box is still up"
echo "eight \"File not found.\" boxes ($answered answered on screen, $not_shown on standard" \
    "error); the demo ended by itself"

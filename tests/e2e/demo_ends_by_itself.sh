#!/usr/bin/env bash
# The show ends by itself after 118 s of application time. The demo's own WinMain runs on a clock
# 20 times as fast, so the end comes after about 6 s instead of two minutes, and not before.
set -euo pipefail
name=demo_ends_by_itself
source "$(dirname "$0")/lib/demo_session.sh"

factor=20
start_xvfb
started=$SECONDS
start_program run "$bin/lf_e2e_fast_clock_program" "$factor"
find_window
wait_for_letterbox 30
wait_exit 60
elapsed=$((SECONDS - started))
[[ $status -eq 0 ]] || fail "exit status $status"
# 118 s / 20 is 5.9 s; the clock runs on through the dialog, so a little less is possible.
((elapsed >= 5)) || fail "ended after ${elapsed} s, before the show could have run"
[[ -z $(box_window) ]] || fail "an error box is up"
echo "the show ended by itself after ${elapsed} s at ${factor}x speed"

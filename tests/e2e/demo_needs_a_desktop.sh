#!/usr/bin/env bash
# Started where there is no desktop (over SSH, say) the demo does not play its two minutes to
# nobody: it ends at once with a sentence that names the capture tool, and a non-zero status.
# The same when a display is named but none answers.
set -euo pipefail
name=demo_needs_a_desktop
source "$(dirname "$0")/lib/x_session.sh"
export LUMENFALL_REGISTRY=$out/no-registry.ini
unset DISPLAY WAYLAND_DISPLAY SDL_VIDEODRIVER LUMENFALL_HEADLESS

# run log [VARIABLE=value...]: the demo under a time limit; fails unless it ended at once, with
# a non-zero status and the sentence.
run() {
    local log=$1
    shift
    local started=$SECONDS status=0
    env "$@" timeout 60 "$bin/lumenfall" >"$out/$log.log" 2>&1 || status=$?
    local elapsed=$((SECONDS - started))
    ((status != 0 && status != 124 && elapsed <= 10)) ||
        fail "$log: exit status $status after ${elapsed} s"
    grep -q "lumenfall needs a desktop; lumenfall-capture renders the show without one" \
        "$out/$log.log" || fail "$log: no sentence saying why"
    echo "$log: status $status after ${elapsed} s"
}

run no-display
# A socket path that no server listens on.
run unanswered DISPLAY="$out/no-server:0"

#!/usr/bin/env bash
# Headless (asked for with LUMENFALL_HEADLESS=1, as only tests do) nobody can answer the
# start-up dialog, so none is shown: DialogBoxParamA fails at once, the program goes on with its
# device and the show ends by itself. The demo's own WinMain runs on a clock 100 times as fast,
# so the whole show takes about 1.2 s; a dialog that waited would hold it until the time limit.
set -euo pipefail

bin=${LUMENFALL_BIN_DIR:?LUMENFALL_BIN_DIR names the folder of the built programs}
out=${LUMENFALL_E2E_OUT:-$(mktemp -d)}/dialog_headless_never_waits
mkdir -p "$out"
rm -f "$out"/*
export LSAN_OPTIONS="suppressions=$(dirname "$0")/lsan-system-libraries.supp${LSAN_OPTIONS:+:$LSAN_OPTIONS}"
export LUMENFALL_REGISTRY=$out/no-registry.ini
unset DISPLAY WAYLAND_DISPLAY SDL_VIDEODRIVER
export LUMENFALL_HEADLESS=1

started=$SECONDS
status=0
timeout 60 "$bin/lf_e2e_fast_clock_program" 100 >"$out/run.log" 2>&1 || status=$?
elapsed=$((SECONDS - started))
if ((status != 0)); then
    echo "FAIL: exit status $status after ${elapsed} s (124: it waited until the time limit)" >&2
    cat "$out/run.log" >&2
    exit 1
fi
grep -q "running headless" "$out/run.log" || {
    echo "FAIL: the run was not headless" >&2
    cat "$out/run.log" >&2
    exit 1
}
echo "the headless run went past the dialog and ended by itself after ${elapsed} s"

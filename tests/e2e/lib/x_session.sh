# Shared steps of the end-to-end scripts (sourced, not run): the output folder, leak-checker
# options, a private Xvfb, failure reports with the runs' logs, and a clean-up that stops the
# program and the server on every way out.
#
# The sourcing script sets `name` first; everything it makes goes to $out. It may set `screen`
# (default 640x480x24) before calling start_xvfb.

bin=${LUMENFALL_BIN_DIR:?LUMENFALL_BIN_DIR names the folder of the built programs}
out=${LUMENFALL_E2E_OUT:-$(mktemp -d)}/$name
mkdir -p "$out"
rm -rf "${out:?}"/*
# Sanitizer builds: leaks inside system libraries are not the program's. The slow unwinder
# (fast_unwind_on_malloc=0) is left off: with the GL driver's threads it makes every frame crawl
# and can deadlock inside the unwinder, and the driver's own frame, which the suppressions look
# for, is the first one above malloc.
export LSAN_OPTIONS="suppressions=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)/lsan-system-libraries.supp${LSAN_OPTIONS:+:$LSAN_OPTIONS}"

# require_tools tool...: fails early, naming the first tool that is not installed.
require_tools() {
    local tool
    for tool in "$@"; do
        command -v "$tool" >/dev/null || { echo "missing tool: $tool" >&2; exit 1; }
    done
}

xvfb_pid=
program_pid=
cleanup() {
    [[ -n $program_pid ]] && kill -KILL "$program_pid" 2>/dev/null || true
    [[ -n $xvfb_pid ]] && kill "$xvfb_pid" 2>/dev/null && wait "$xvfb_pid" 2>/dev/null || true
}
trap cleanup EXIT INT TERM

fail() {
    echo "FAIL: $*" >&2
    [[ -n ${DISPLAY:-} ]] && xwininfo -root -tree >&2 2>/dev/null || true
    for log in "$out"/*.log; do
        [[ -f $log ]] || continue
        echo "---- $log" >&2
        tail -n 40 "$log" >&2
    done
    exit 1
}

# start_xvfb [Xvfb options...]: a screen of $screen on a free display, which Xvfb picks itself
# and writes once it is ready. -noreset keeps the server up between clients (by default it
# resets when its last client leaves, and refuses the next one meanwhile; message boxes come and
# go). LUMENFALL_E2E_XVFB_ARGS may add options, such as a font path: without X fonts no message
# box can be drawn, and the platform then writes the box to standard error and answers OK by
# itself.
start_xvfb() {
    # shellcheck disable=SC2086
    Xvfb -displayfd 3 -screen 0 "${screen:-640x480x24}" -nolisten tcp -noreset "$@" \
        ${LUMENFALL_E2E_XVFB_ARGS:-} 3>"$out/display" 2>"$out/xvfb.log" &
    xvfb_pid=$!
    for _ in $(seq 100); do
        [[ -s $out/display ]] && break
        sleep 0.1
    done
    [[ -s $out/display ]] || fail "Xvfb did not start"
    export DISPLAY=:$(head -n1 "$out/display")
    unset WAYLAND_DISPLAY
}

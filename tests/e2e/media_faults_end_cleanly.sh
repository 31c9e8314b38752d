#!/usr/bin/env bash
# One media file missing, or one malformed file in each media slot in turn: both programs report
# it ("File not found." for the demo, "missing media" for the capture tool) and end, and on the
# sanitizer build nothing at exit touches what another clean-up at exit has already destroyed
# (the texture store lets its surfaces go after every other static is gone).
set -euo pipefail
name=media_faults_end_cleanly
source "$(dirname "$0")/lib/demo_session.sh"

media=${LUMENFALL_MEDIA_DIR:?LUMENFALL_MEDIA_DIR names the built media folder}
mkdir -p "$out/work"
printf '[HKEY_LOCAL_MACHINE\\Software\\Quorvane\\DirectX]\nKestrel Samples Path=%s\n' \
    "$out/samples" >"$out/registry.ini"
export LUMENFALL_REGISTRY=$out/registry.ini

# fresh_media: the built media, whole, in the folder the registry names.
fresh_media() {
    rm -rf "$out/samples"
    mkdir -p "$out/samples/Marlow/Media"
    cp "$media"/*.bmp "$media"/*.tga "$media"/object.? "$out/samples/Marlow/Media/"
}

# Each case: a name, and what to do to the media folder.
cases=(
    "missing misc.bmp:rm misc.bmp"
    "empty title.bmp:truncate -s 0 title.bmp"
    "file.bmp cut inside its header:truncate -s 30 file.bmp"
    "misc.bmp of another format:printf '\\x89PNG\\r\\n\\x1a\\n0000' >misc.bmp"
    "the_end.bmp of text:echo 'not a picture' >the_end.bmp"
    "nosound.bmp with a bitmap header claiming no bits:printf 'BM\\x36\\0\\0\\0\\0\\0\\0\\0\\x36\\0\\0\\0\\x28\\0\\0\\0' >nosound.bmp; head -c 34 /dev/zero >>nosound.bmp"
    "object.1 with an unterminated string:printf 'xof 0302txt 0032\\nFrame F {\\n \"unterminated' >object.1"
    "empty object.2:truncate -s 0 object.2"
    "object.3 cut in the middle:truncate -s 53357 object.3"
)

# sanitizer_report log: the sanitizer's complaint in the log, if any.
sanitizer_report() {
    grep -m1 -E "ERROR: [A-Za-z]+Sanitizer|runtime error:" "$1" || true
}

start_xvfb
summary=()
for entry in "${cases[@]}"; do
    what=${entry%%:*}
    fresh_media
    (cd "$out/samples/Marlow/Media" && eval "${entry#*:}")

    # The demo on the desktop: one box, answered, and the end of the program.
    cd "$out/work"
    start_program run "$bin/lumenfall"
    answer_boxes 1 60
    wait_exit 60
    cp "$out/run.log" "$out/demo-${what// /_}.txt"
    report=$(sanitizer_report "$out/run.log")
    [[ -z $report ]] || fail "$what: the demo: $report"
    [[ $status -eq 0 ]] || fail "$what: the demo ended with status $status"
    reported=$(boxes_reported "File not found.")
    ((reported == 1)) || fail "$what: $reported \"File not found.\" boxes from the demo, expected 1"

    # The capture tool: the reason, status 1, and no picture.
    status=0
    "$bin/lumenfall-capture" --device software --at 5 -o frame.png >"$out/capture.log" 2>&1 ||
        status=$?
    cp "$out/capture.log" "$out/capture-${what// /_}.txt"
    report=$(sanitizer_report "$out/capture.log")
    [[ -z $report ]] || fail "$what: the capture tool: $report"
    [[ $status -eq 1 ]] || fail "$what: the capture tool ended with status $status"
    grep -q "missing media: 1 of the program's files was not found or could not be read" \
        "$out/capture.log" ||
        fail "$what: the capture tool did not name the missing media"
    [[ ! -e frame.png ]] || fail "$what: the capture tool wrote a picture"
    summary+=("$what")
done
echo "reported by both programs, which then ended cleanly: $(IFS=';' && echo "${summary[*]}")"

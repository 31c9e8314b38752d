#!/usr/bin/env bash
# The GPU check's bundle, made outside the build tree and run where Debian's SDL2, libpng, epoxy
# and GL loaders cannot be found (each bound over by an empty file in a private mount space; a
# GPU machine may have no libGL at all, and epoxy then finds GL in the bundle's libOpenGL): the
# software device's pictures match the bundle's own references, and the timing runs. A machine
# with a GPU runs the same script with --device gpu.
set -euo pipefail
name=capture_bundle_runs_alone
source "$(dirname "$0")/lib/x_session.sh"
here=$(cd "$(dirname "$0")/../.." && pwd)

if ((EUID != 0)) || ! unshare -m --propagation private true 2>/dev/null; then
    echo "SKIP: hiding the system's libraries needs a private mount space (root)"
    exit 77
fi
bundle=$(mktemp -d /tmp/lumenfall-bundle.XXXXXX)
trap 'rm -rf "$bundle"; cleanup' EXIT
bash "$here/tools/capture/bundle/make_bundle.sh" "$bin/.." "$bundle/capture" --size 640x480 \
    >"$out/make.log" 2>&1 || fail "the bundle was not made"

cat >"$out/hidden.sh" <<HIDDEN
set -e
for soname in libSDL2-2.0.so.0 libpng16.so.16 libepoxy.so.0 libEGL.so.1 libOpenGL.so.0 \\
    libGL.so.1 libGLX.so.0; do
    real=\$(ldconfig -p | awk -v n=\$soname '\$1 == n && /x86-64/ { print \$NF; exit }')
    [ -n "\$real" ] && mount --bind /dev/null "\$(readlink -f "\$real")"
done
if "$bin/lumenfall-capture" --version >/dev/null 2>&1; then
    echo "the build's own program still starts: the libraries are not hidden"
    exit 1
fi
cd "$bundle"
capture/gpu-check.sh --device software --quick --sizes 640x480 --jobs "1 2" --out "$out/check"
HIDDEN
unshare -m --propagation private bash "$out/hidden.sh" >"$out/check.log" 2>&1 ||
    fail "the check failed with the system's libraries hidden"
grep -q "^finale_105s .*mean 0.000" "$out/check/report.txt" || fail "no finale picture compared"
grep -q "^640x480 *2 *120 " "$out/check/report.txt" || fail "no timing in two jobs"
grep -q "== all pictures within the tolerance" "$out/check/report.txt" || fail "not all within"

# Another moment is outside the tolerance.
if LD_LIBRARY_PATH=$bundle/capture/lib "$bundle/capture/bin/lumenfall-frame-compare" \
    "$bundle/capture/reference/title_3s.png" "$bundle/capture/reference/swarm_20s.png" \
    >"$out/differs.log"; then
    fail "two moments compared as one"
fi
cat "$out/check/report.txt"

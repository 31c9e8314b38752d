#!/usr/bin/env bash
# The GPU check, run from the bundle's folder on a machine with a GPU and nothing else installed:
#
#   1. the machine, and the EGL devices the capture tool sees;
#   2. chosen moments of each scene drawn on the GPU, each compared with the software device's
#      picture of it in reference/ (lumenfall-frame-compare: mean difference per channel, share
#      of pixels off by more than rounding), within a tolerance;
#   3. the whole show drawn without output at each size: wall time, processor time, frames a
#      second, and the share of the show's own 118 s.
#
#   ./gpu-check.sh [--device gpu|software] [--sizes "1920x1080 3840x2160"] [--jobs "1 4"]
#                  [--quick] [--out DIR]
#
# --quick draws the first two seconds instead of the whole show (to try the script out). The
# pictures and report.txt go to DIR (default ./gpu-check-results). MAX_MEAN and MAX_SHARE (per
# cent) set the tolerance. Exit status 0 when every picture is within it.
set -uo pipefail

here=$(cd "$(dirname "$0")" && pwd)
device=gpu
sizes="1920x1080 3840x2160"
jobs_list="1 4"
quick=0
out=$PWD/gpu-check-results
while (($#)); do
    case $1 in
    --device) device=$2; shift ;;
    --sizes) sizes=$2; shift ;;
    --jobs) jobs_list=$2; shift ;;
    --quick) quick=1 ;;
    --out) out=$2; shift ;;
    *) echo "gpu-check.sh: unknown option $1" >&2; exit 2 ;;
    esac
    shift
done
capture=$here/lumenfall-capture
compare=$here/bin/lumenfall-frame-compare
mkdir -p "$out"
report=$out/report.txt
: >"$report"
say() { echo "$*" | tee -a "$report"; }

# The GL vendor libraries are the machine's. GLVND finds them through its vendor files, which a
# container's driver may keep outside the usual folders; its libraries must be on the loader's
# path too.
if [[ -z ${__EGL_VENDOR_LIBRARY_FILENAMES:-}${__EGL_VENDOR_LIBRARY_DIRS:-} ]]; then
    vendor_dirs=()
    for dir in /etc/glvnd/egl_vendor.d /usr/share/glvnd/egl_vendor.d \
        /usr/local/share/glvnd/egl_vendor.d /usr/local/nvidia/share/glvnd/egl_vendor.d; do
        compgen -G "$dir/*.json" >/dev/null && vendor_dirs+=("$dir")
    done
    if ((${#vendor_dirs[@]})); then
        __EGL_VENDOR_LIBRARY_DIRS=$(IFS=:; echo "${vendor_dirs[*]}")
        export __EGL_VENDOR_LIBRARY_DIRS
    fi
fi
export LD_LIBRARY_PATH="$here/lib${LD_LIBRARY_PATH:+:$LD_LIBRARY_PATH}"
for dir in /usr/local/nvidia/lib64 /usr/local/nvidia/lib; do
    [[ -d $dir ]] && export LD_LIBRARY_PATH="${LD_LIBRARY_PATH:+$LD_LIBRARY_PATH:}$dir"
done

say "== machine"
say "$(uname -srm), $(nproc) processors, load $(cut -d' ' -f1-3 /proc/loadavg)"
command -v nvidia-smi >/dev/null && say "$(nvidia-smi -L 2>&1)"
say "EGL vendor files: ${__EGL_VENDOR_LIBRARY_FILENAMES:-${__EGL_VENDOR_LIBRARY_DIRS:-the defaults}}"
say "$("$capture" --version 2>&1)"
say "== EGL devices"
say "$("$capture" --list-devices 2>&1)"

say "== pictures on the $device device against the software device's"
mapfile -t options <"$here/reference/options.txt"
say "options: ${options[*]}"
failed=0
while read -r name at; do
    frame=$out/$device-$name.png
    if ! errors=$("$capture" -q -y --device "$device" "${options[@]}" --at "$at" -o "$frame" 2>&1); then
        say "$name ($at s): not drawn: $errors"
        failed=$((failed + 1))
        continue
    fi
    result=$("$compare" "$here/reference/$name.png" "$frame" "${MAX_MEAN:-1.0}" \
        "${MAX_SHARE:-1.0}" 2>&1) || failed=$((failed + 1))
    say "$(printf '%-12s %6s s  %s' "$name" "$at" "$result")"
done <"$here/reference/moments.txt"

say "== the show drawn on the $device device, no output"
stretch=()
((quick)) && stretch=(--end 2)
say "$(printf '%-10s %4s %7s %8s %8s %8s %9s' size jobs frames wall_s cpu_s fps share_118)"
for size in $sizes; do
    for jobs in $jobs_list; do
        TIMEFORMAT='%R %U %S'
        { time "$capture" -q --device "$device" --size "$size" --jobs "$jobs" "${stretch[@]}" \
              --no-output >"$out/count" 2>"$out/errors"; } 2>"$out/time" ||
            { say "$size, $jobs jobs: failed: $(cat "$out/errors")"; failed=$((failed + 1)); continue; }
        read -r wall user system <"$out/time"
        frames=$(awk '{ print $1 }' "$out/count")
        say "$(awk -v s="$size" -v j="$jobs" -v f="$frames" -v t="$wall" -v u="$user" -v y="$system" \
            'BEGIN { printf "%-10s %4d %7d %8.1f %8.1f %8.1f %8.0f%%", s, j, f, t, u + y, f / t,
                     100 * t / 118 }')"
    done
done
rm -f "$out/count" "$out/errors" "$out/time"

if ((failed)); then
    say "== $failed check(s) failed; the pictures are in $out"
    exit 1
fi
say "== all pictures within the tolerance; the pictures are in $out"

#!/usr/bin/env bash
# Capture rate of the whole show with lumenfall-capture on Mesa's software rasteriser, and where
# the time goes. For each size, look and job count it runs the whole show (7081 frames at
# 60 fps) in up to four ways:
#
#   program   the device that draws nothing: the program's own frame work, no rasterising
#   draw      the software device, frames read back and dropped: rendering plus read-back
#   png       frames to a folder of PNG files
#   video     frames to an H.264 .mp4 through ffmpeg
#
# and prints wall time, frames a second, processor time (user + system, all threads, jobs and
# ffmpeg), how busy that kept the processors (processor time over wall time times cores), and
# the wall time as a share of the show's own 118 s.
#
#   bench/capture_rate.sh [BUILD_DIR] [SIZE...]       sizes default to 640x480 1600x1200; any
#                                                     --size works (1920x1080, 3840x2160)
#   bench/capture_rate.sh --archive [BUILD_DIR]       the archivist's video: 1920x1080 to H.264,
#                                                     authentic and clean, 1 and 2 jobs
#
# CAPTURE_ARGS adds options to every run (e.g. "--start 15 --end 25" for a quick look at one
# stretch, "--depth 32"); WAYS chooses the ways (default "program draw png video"); LOOKS the
# looks (default: the tool's own); JOBS the job counts (default: the tool's choice). Run it on an
# otherwise idle machine: the rasteriser and the encoders share the cores.
set -euo pipefail

archive=0
if [[ ${1:-} == --archive ]]; then
    archive=1
    shift
fi
build=${1:-build}
shift || true
sizes=("$@")
if ((archive)); then
    sizes=(1920x1080)
    : "${WAYS:=video}" "${LOOKS:=authentic clean}" "${JOBS:=1 2}"
fi
((${#sizes[@]})) || sizes=(640x480 1600x1200)
ways=(${WAYS:-program draw png video})
looks=(${LOOKS:--})
jobs_list=(${JOBS:--})
capture=$build/bin/lumenfall-capture
[[ -x $capture ]] || { echo "no $capture: build first" >&2; exit 1; }

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
extra=(${CAPTURE_ARGS:-})
cores=$(nproc)

echo "cores: $cores, load before: $(cut -d' ' -f1-3 /proc/loadavg)"
printf '%-10s %-9s %4s %-8s %8s %8s %9s %10s %6s %8s\n' size look jobs way frames wall_s fps \
    cpu_s busy "share_118"
for size in "${sizes[@]}"; do
    for look in "${looks[@]}"; do
        for jobs in "${jobs_list[@]}"; do
            for way in "${ways[@]}"; do
                case $way in
                program) args=(--device none --no-output) ;;
                draw) args=(--device software --no-output) ;;
                png) args=(--device software -o "$scratch/frames") ;;
                video) args=(--device software -o "$scratch/show.mp4") ;;
                *) echo "unknown way $way" >&2; exit 1 ;;
                esac
                [[ $look == - ]] || args+=(--look "$look")
                [[ $jobs == - ]] || args+=(--jobs "$jobs")
                rm -rf "$scratch/frames" "$scratch/show.mp4"
                TIMEFORMAT='%R %U %S'
                { time "$capture" -q --size "$size" "${extra[@]}" "${args[@]}" \
                      >"$scratch/stdout" 2>"$scratch/stderr"; } 2>"$scratch/time" ||
                    { cat "$scratch/stderr" >&2; exit 1; }
                read -r wall user system <"$scratch/time"
                case $way in
                program | draw) frames=$(awk '{print $1}' "$scratch/stdout") ;;
                png) frames=$(find "$scratch/frames" -name 'frame_*.png' | wc -l) ;;
                video) frames=$(ffprobe -v error -select_streams v:0 -count_packets \
                                    -show_entries stream=nb_read_packets -of csv=p=0 \
                                    "$scratch/show.mp4") ;;
                esac
                awk -v s="$size" -v l="$look" -v j="$jobs" -v w="$way" -v f="$frames" \
                    -v t="$wall" -v u="$user" -v y="$system" -v c="$cores" \
                    'BEGIN { printf "%-10s %-9s %4s %-8s %8d %8.1f %9.1f %10.1f %5.0f%% %7.0f%%\n",
                             s, l, j, w, f, t, f / t, u + y, 100 * (u + y) / (t * c),
                             100 * t / 118 }'
            done
        done
    done
done
echo "load after: $(cut -d' ' -f1-3 /proc/loadavg)"

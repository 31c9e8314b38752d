#!/usr/bin/env bash
# A fuzzing campaign: every libFuzzer target of the sanitizer build runs for a given time, one
# after the other on one core, each growing its own corpus in a folder outside the repository
# (seeded from tests/fuzz/corpus/<target>/, and kept between campaigns, so that one campaign
# carries on from the last). Prints, per target: runs, runs a second of wall time and of
# processor time (the second varies far less on a shared machine), coverage (edges and
# features), the corpus size, peak memory, findings, and how long ten million runs take at the
# rate seen.
#
#   bench/fuzz_campaign.sh [-t SECONDS] [-n RUNS] [-w WORK_DIR] [-b BUILD_DIR] [--add-to-seeds]
#                          [TARGET...]
#
#   -t SECONDS      time per target (default 60; 0: no limit)
#   -n RUNS         stop a target after this many runs (with -t, whichever comes first)
#   -w WORK_DIR     where corpora, findings and logs go (default
#                   ${XDG_CACHE_HOME:-~/.cache}/lumenfall-fuzz); never inside the repository
#   -b BUILD_DIR    the sanitizer build with the targets (default build-asan, made by
#                   ./build.sh test --sanitize); FUZZ_BIN_DIR names a folder of fuzz_* programs
#                   instead (an older build's, to compare rates)
#   --add-to-seeds  afterwards, merge into tests/fuzz/corpus/<target>/ the inputs of the grown
#                   corpus that reach code the seeds there do not (edges, not hit counts, which
#                   would keep four times as many files); review and commit them
#   TARGET          bmp_fuzz, tga_fuzz, xfile_fuzz, mesh_fuzz (default: all that are built)
#
# A finding (crash, leak, time-out, out of memory) is left in WORK_DIR/<target>/findings/; it
# becomes a regression test and a fix. Rates vary with the machine's load: compare two harnesses
# by running both in one sitting, alternately.
set -euo pipefail
repo=$(cd "$(dirname "$0")/.." && pwd)

seconds=60
runs_limit=-1
work=${XDG_CACHE_HOME:-$HOME/.cache}/lumenfall-fuzz
build=$repo/build-asan
add_to_seeds=0
targets=()
while (($#)); do
    case $1 in
    -t) seconds=$2; shift 2 ;;
    -n) runs_limit=$2; shift 2 ;;
    -w) work=$2; shift 2 ;;
    -b) build=$2; shift 2 ;;
    --add-to-seeds) add_to_seeds=1; shift ;;
    -h | --help) sed -n '2,/^set -euo/p' "$0" | sed '$d; s/^# \{0,1\}//'; exit 0 ;;
    -*) echo "unknown option $1 (see --help)" >&2; exit 2 ;;
    *) targets+=("$1"); shift ;;
    esac
done
bin=${FUZZ_BIN_DIR:-$build/tests}

work=$(realpath -m "$work")
case $work/ in
"$repo"/*) echo "the work folder $work is inside the repository; choose another (-w)" >&2
    exit 2 ;;
esac
mkdir -p "$work"
if ((${#targets[@]} == 0)); then
    for program in "$bin"/fuzz_*; do
        [[ -x $program ]] && targets+=("$(basename "$program" | sed 's/^fuzz_//')")
    done
fi
((${#targets[@]})) ||
    { echo "no fuzz targets in $bin: run ./build.sh test --sanitize" >&2; exit 1; }

# The runtime's reports stop the run at the first finding, which is what a campaign wants.
export ASAN_OPTIONS=${ASAN_OPTIONS:-halt_on_error=1:detect_leaks=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-halt_on_error=1:print_stacktrace=1}

# stat name log: a value of libFuzzer's final statistics.
stat() {
    awk -v key="stat::$1:" '$1 == key {print $2}' "$2" | tail -n1
}

limits=()
((seconds > 0)) && limits+=("$seconds s")
((runs_limit >= 0)) && limits+=("$runs_limit runs")
((${#limits[@]})) || limits=("no limit")
echo "cores: $(nproc), load before: $(cut -d' ' -f1-3 /proc/loadavg)," \
    "a target: $(IFS=/ && echo "${limits[*]}"), in $work"
printf '%-11s %11s %8s %9s %7s %8s %15s %7s %8s %12s\n' \
    target runs runs/s runs/cpu_s cov features corpus peak_MB findings "10M runs"
for target in "${targets[@]}"; do
    program=$bin/fuzz_$target
    [[ -x $program ]] || { echo "no $program" >&2; exit 1; }
    dir=$work/$target
    mkdir -p "$dir/corpus" "$dir/findings"
    # New seeds join the grown corpus; inputs already there stay as they are.
    if [[ -d $repo/tests/fuzz/corpus/$target ]]; then
        cp -n "$repo/tests/fuzz/corpus/$target"/* "$dir/corpus/" 2>/dev/null || true
    fi
    findings_before=$(find "$dir/findings" -type f | wc -l)
    log=$dir/last-run.log
    started=$(date +%s)
    # Output of the code under test (debug lines) is dropped; libFuzzer's own report stays. The
    # processor time it took comes from `times` (its second line: the children's).
    cpu=$({
        "$program" -max_total_time="$seconds" -runs="$runs_limit" -rss_limit_mb=2048 \
            -timeout=10 -print_final_stats=1 -close_fd_mask=1 \
            -artifact_prefix="$dir/findings/" "$dir/corpus" >"$log" 2>&1 || true
        times
    } | awk 'NR == 2 {
        total = 0
        for (i = 1; i <= 2; ++i) { split($i, t, /[ms]/); total += t[1] * 60 + t[2] }
        printf "%.0f\n", total }')
    elapsed=$(($(date +%s) - started))

    runs=$(stat number_of_executed_units "$log")
    runs=${runs:-0}
    # Over the time libFuzzer ran (its "Done ... in S second(s)"): the leak check at exit, which
    # can take half a minute over a large heap, is no part of the rate.
    fuzzed=$(sed -n 's/^Done [0-9]* runs in \([0-9]*\) second.*/\1/p' "$log")
    fuzzed=${fuzzed:-$elapsed}
    rate=$((fuzzed > 0 ? runs / fuzzed : 0))
    # Runs per second of processor time: on a shared machine it varies far less than the rate.
    cpu_rate=$((cpu > 0 ? runs / cpu : 0))
    last=$(grep -E '^#[0-9]+' "$log" | grep -F 'cov:' | tail -n1)
    cov=$(sed -n 's/.* cov: \([0-9]*\).*/\1/p' <<<"$last")
    features=$(sed -n 's/.* ft: \([0-9]*\).*/\1/p' <<<"$last")
    corpus=$(sed -n 's/.* corp: \([^ ]*\).*/\1/p' <<<"$last")
    peak=$(stat peak_rss_mb "$log")
    findings=$(($(find "$dir/findings" -type f | wc -l) - findings_before))
    needed=$(awk -v rate="$rate" 'BEGIN {
        if (rate <= 0) { print "-"; exit }
        s = 10000000 / rate
        if (s < 3600) printf "%d min\n", s / 60 + 0.5; else printf "%.1f h\n", s / 3600 }')
    printf '%-11s %11s %8s %9s %7s %8s %15s %7s %8s %12s\n' \
        "$target" "$runs" "$rate" "$cpu_rate" "${cov:--}" "${features:--}" "${corpus:--}" \
        "${peak:--}" "$findings" "$needed"
    if ((findings > 0)); then
        echo "    finding in $dir/findings/ (log: $log)"
    fi
    if ((add_to_seeds)); then
        seeds=$repo/tests/fuzz/corpus/$target
        before=$(find "$seeds" -type f | wc -l)
        "$program" -merge=1 -use_counters=0 -rss_limit_mb=2048 -timeout=10 -close_fd_mask=1 \
            -artifact_prefix="$dir/findings/" "$seeds" "$dir/corpus" >"$dir/merge.log" 2>&1 ||
            { echo "    the merge failed (log: $dir/merge.log)" >&2; continue; }
        added=$(($(find "$seeds" -type f | wc -l) - before))
        echo "    $added inputs that reach new code joined $seeds"
    fi
done

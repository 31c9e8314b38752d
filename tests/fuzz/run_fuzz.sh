#!/usr/bin/env bash
# Runs one libFuzzer target briefly: first over its committed seeds, then on a scratch copy of
# them so that what it finds never lands in the source tree.
set -euo pipefail
target=$1 seeds=$2 work=$3
seconds=${LUMENFALL_FUZZ_SECONDS:-15}
rm -rf "$work" && mkdir -p "$work/corpus" "$work/artifacts"
cp -r "$seeds"/. "$work/corpus/" 2>/dev/null || true
exec "$target" -max_total_time="$seconds" -rss_limit_mb=2048 -timeout=10 \
  -artifact_prefix="$work/artifacts/" "$work/corpus"

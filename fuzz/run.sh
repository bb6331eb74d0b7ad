#!/usr/bin/env bash
# Runs every fuzz target of a built fuzz directory for a bounded time each, starting from
# the seeds in fuzz/corpus/<target> (read only) and the inputs earlier runs kept in
# <build>/corpus/<target>. A crash or failed invariant leaves its input in
# <build>/artifacts/ and makes the script fail once all targets have run.
#   fuzz/run.sh BUILD_DIR SECONDS_EACH
set -uo pipefail

build=${1:?build dir}
seconds=${2:?seconds per target}
seeds=$(cd "$(dirname "$0")" && pwd)/corpus
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}

# Target and the longest input it is given: a picture is let past the 8 KiB the EXIF reader
# reads at a time, so that its loop over chunks runs too.
targets=(fuzz_exec_line:4096 fuzz_desktop_entry:4096 fuzz_mimeapps:4096 fuzz_wildcard:4096
         fuzz_picture_file:16384 fuzz_picture_exif:16384)
failed=()
for entry in "${targets[@]}"; do
  target=${entry%:*}
  max_len=${entry#*:}
  mkdir -p "$build/corpus/$target" "$build/artifacts"
  log="$build/$target.log"
  start=$SECONDS
  "$build/$target" -max_total_time="$seconds" -max_len="$max_len" -timeout=10 -rss_limit_mb=2048 \
    -print_final_stats=1 -artifact_prefix="$build/artifacts/$target-" \
    "$build/corpus/$target" "$seeds/$target" >"$log" 2>&1
  status=$?
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
  if [ $status -eq 0 ]; then
    echo "$target: ${runs:-?} inputs in $((SECONDS - start)) s, no finding"
  else
    echo "$target: FAILED (exit $status) after $((SECONDS - start)) s; log $log"
    grep -E -A12 'invariant failed|ERROR: |runtime error|SUMMARY' "$log" | head -40
    ls "$build"/artifacts/"$target"-* 2>/dev/null
    failed+=("$target")
  fi
done
echo "fuzz: $((${#targets[@]} - ${#failed[@]})) passed, ${#failed[@]} failed"
[ ${#failed[@]} -eq 0 ] || { echo "fuzz findings in: ${failed[*]}" >&2; exit 1; }

#!/usr/bin/env bash
# Builds the libFuzzer targets with clang into build-fuzz/ (or $BUILD_DIR) and runs each for
# $1 seconds (default 60), starting from its seeds in fuzz/corpus/<target>/. The seeds are only
# read: what a run finds goes to a scratch corpus. A crash or a broken property fails the script,
# and the input that caused it is left in build-fuzz/artifacts/.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
build=${BUILD_DIR:-build-fuzz}

# fuzz/ is a source tree of its own, with its own presets.
cmake -S fuzz --preset fuzz ${BUILD_DIR:+-B "$BUILD_DIR"} >/dev/null
if [ -n "${BUILD_DIR:-}" ]; then
    cmake --build "$BUILD_DIR" -j2
else
    (cd fuzz && cmake --build --preset fuzz)
fi

artifacts="$build/artifacts"
scratch="$build/scratch-corpus"
mkdir -p "$artifacts"
failed=()
passed=0
for seeds in fuzz/corpus/*/; do
    target=$(basename "$seeds")
    rm -rf "${scratch:?}/$target"
    mkdir -p "$scratch/$target"
    echo "== $target: ${seconds}s"
    if ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
        "$build/$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
        -artifact_prefix="$artifacts/$target-" "$scratch/$target" "$seeds" >"$build/$target.log" 2>&1; then
        passed=$((passed + 1))
        grep -E '^(stat::number_of_executed_units|Done )' "$build/$target.log" || true
    else
        failed+=("$target")
        tail -n 40 "$build/$target.log"
    fi
done
echo "fuzz: $passed of $((passed + ${#failed[@]})) targets clean${failed:+; broken: ${failed[*]}}"
[ ${#failed[@]} -eq 0 ]

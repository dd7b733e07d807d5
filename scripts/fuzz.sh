#!/usr/bin/env bash
# Builds the libFuzzer targets with clang (ASan + UBSan) and runs each for a bounded time on a
# copy of its seed corpus. Exits non-zero on any crash, leak or sanitizer report.
#   scripts/fuzz.sh [SECONDS_PER_TARGET]   (default 60, or $VESMARA_FUZZ_SECONDS)
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-${VESMARA_FUZZ_SECONDS:-60}}
jobs=$(nproc 2>/dev/null || echo 2)

CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DVESMARA_FUZZ=ON -DVESMARA_BENCH=OFF -DVESMARA_WERROR=ON >/dev/null
targets=$(sed -nE 's/^vesmara_fuzz_target\(([a-z_]+) .*/\1/p' fuzz/CMakeLists.txt)
# shellcheck disable=SC2086
cmake --build build-fuzz --parallel "$jobs" --target $targets

export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
status=0
for target in $targets; do
    corpus=$(mktemp -d)
    seeds="fuzz/corpus/${target#fuzz_}"
    [ -d "$seeds" ] && cp -r "$seeds"/. "$corpus"/
    echo "== $target: ${seconds}s"
    if ! build-fuzz/fuzz/"$target" -max_total_time="$seconds" -rss_limit_mb=2048 -timeout=10 \
            -print_final_stats=1 -artifact_prefix="build-fuzz/$target-" "$corpus" \
            >"build-fuzz/$target.log" 2>&1; then
        echo "!! $target failed; last lines of build-fuzz/$target.log:"
        tail -n 40 "build-fuzz/$target.log"
        status=1
    else
        grep -E 'stat::number_of_executed_units|Done [0-9]+ runs' "build-fuzz/$target.log" | tail -n 1
    fi
    rm -rf "$corpus"
done
exit $status

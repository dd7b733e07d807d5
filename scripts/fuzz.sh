#!/usr/bin/env bash
# Builds the libFuzzer targets with clang (ASan + UBSan) and runs each for a bounded time on a
# copy of its seed corpus. Exits non-zero on any crash, leak or sanitizer report.
#   scripts/fuzz.sh [SECONDS_PER_TARGET]   (default 60, or $VESMARA_FUZZ_SECONDS): the CI run
#   scripts/fuzz.sh --long [SECONDS_PER_TARGET] [TARGET]...
#       a campaign outside CI (default 8 hours per target): the corpus is kept and grown in
#       build-fuzz/corpus-<target>/ from one campaign to the next, and the run goes on past a
#       crash (each one is written as build-fuzz/<target>-crash-*); any crash still fails it.
set -euo pipefail
cd "$(dirname "$0")/.."
long=0
if [ "${1:-}" = "--long" ]; then
    long=1
    shift
fi
if [ "$long" = 1 ]; then
    seconds=${1:-28800}
else
    seconds=${1:-${VESMARA_FUZZ_SECONDS:-60}}
fi
[ $# -gt 0 ] && shift
jobs=$(nproc 2>/dev/null || echo 2)

CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DVESMARA_FUZZ=ON -DVESMARA_BENCH=OFF -DVESMARA_WERROR=ON >/dev/null
targets=$(sed -nE 's/^vesmara_fuzz_target\(([a-z_]+) .*/\1/p' fuzz/CMakeLists.txt)
[ $# -gt 0 ] && targets="$*"
# shellcheck disable=SC2086
cmake --build build-fuzz --parallel "$jobs" --target $targets

export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
# One target's run; its verdict goes to build-fuzz/<target>.verdict so that the bounded runs of
# CI can go side by side (one per core) and still report one after the other.
run_target() {
    local target=$1 seeds="fuzz/corpus/${1#fuzz_}" corpus extra=()
    rm -f "build-fuzz/$target.verdict"
    if [ "$long" = 1 ]; then
        corpus="build-fuzz/corpus-$target"
        mkdir -p "$corpus"
        extra=(-fork=1 -ignore_crashes=1 -ignore_timeouts=1 -ignore_ooms=1)
    else
        corpus=$(mktemp -d)
    fi
    [ -d "$seeds" ] && cp -r "$seeds"/. "$corpus"/
    rm -f build-fuzz/"$target"-crash-* build-fuzz/"$target"-leak-*
    if ! build-fuzz/fuzz/"$target" -max_total_time="$seconds" -rss_limit_mb=2048 -timeout=10 \
            -print_final_stats=1 -artifact_prefix="build-fuzz/$target-" "${extra[@]}" "$corpus" \
            >"build-fuzz/$target.log" 2>&1 ||
        compgen -G "build-fuzz/$target-crash-*" >/dev/null ||
        compgen -G "build-fuzz/$target-leak-*" >/dev/null; then
        echo failed >"build-fuzz/$target.verdict"
    else
        echo passed >"build-fuzz/$target.verdict"
    fi
    [ "$long" = 1 ] || rm -rf "$corpus"
}

status=0
pids=()
for target in $targets; do
    echo "== $target: ${seconds}s"
    if [ "$long" = 1 ] || [ "$jobs" -lt 2 ]; then
        run_target "$target"
    else
        run_target "$target" &
        pids+=($!)
    fi
done
for pid in "${pids[@]}"; do wait "$pid"; done
for target in $targets; do
    if [ "$(cat "build-fuzz/$target.verdict" 2>/dev/null)" != passed ]; then
        echo "!! $target failed; last lines of build-fuzz/$target.log:"
        tail -n 40 "build-fuzz/$target.log"
        status=1
    else
        echo "$target: $(grep -E 'stat::number_of_executed_units|Done [0-9]+ runs' \
            "build-fuzz/$target.log" | tail -n 1)"
    fi
done
exit $status

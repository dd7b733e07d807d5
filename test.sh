#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test: the Release build the Debian package is
# made from (the three programs and the benchmarks), the package and its checks, then the whole
# test suite in a Debug build under AddressSanitizer and UndefinedBehaviorSanitizer (assertions
# on), and the fuzzers for a bounded time.
# Exits non-zero on any failure.
#   VESMARA_QUICK=1 ./test.sh   only the plain test suite on the Release build (a fast local loop)
#   VESMARA_RELEASE_SUITE=1     also run the plain suite on the Release build before the package
set -euo pipefail
cd "$(dirname "$0")"
scripts/bootstrap.sh fuzz package

jobs=$(nproc 2>/dev/null || echo 2)
export QT_QPA_PLATFORM=offscreen

echo "== layers and format"
scripts/check-layers.sh
scripts/check-format.sh

if [ "${VESMARA_QUICK:-0}" = 1 ] || [ "${VESMARA_RELEASE_SUITE:-0}" = 1 ]; then
    echo "== build and test (Release)"
    cmake -S . -B build-release -G Ninja -DCMAKE_BUILD_TYPE=Release -DVESMARA_WERROR=ON >/dev/null
    cmake --build build-release --parallel "$jobs"
    ctest --test-dir build-release --output-on-failure --parallel "$jobs" --timeout 300
    [ "${VESMARA_QUICK:-0}" = 1 ] && exit 0
fi

# The suite is compiled once, under the sanitizers: compiling it a second time for a plain run
# cost about a third of the whole run, for the same tests.
echo "== Release build: the programs and the benchmarks"
cmake -S . -B build-release -G Ninja -DCMAKE_BUILD_TYPE=Release -DVESMARA_WERROR=ON >/dev/null
cmake --build build-release --parallel "$jobs" --target monitorvesmara vesmara-pbx vesmara-probe \
    bench/all

echo "== Debian package"
scripts/package.sh build-release
scripts/check-package.sh build-release/monitorvesmara_*.deb

echo "== build and test under AddressSanitizer + UndefinedBehaviorSanitizer"
cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DVESMARA_WERROR=ON \
    -DVESMARA_SANITIZE=ON -DVESMARA_BENCH=OFF >/dev/null
cmake --build build-asan --parallel "$jobs"
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    ctest --test-dir build-asan --output-on-failure --parallel "$jobs" --timeout 600

echo "== fuzzers"
scripts/fuzz.sh "${VESMARA_FUZZ_SECONDS:-60}"

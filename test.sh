#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test: the test suite on the Release build the
# Debian package is made from, the package and its checks, the same suite again in a Debug build
# under AddressSanitizer and UndefinedBehaviorSanitizer (assertions on), and the fuzzers for a
# bounded time.
# Exits non-zero on any failure.
#   VESMARA_QUICK=1 ./test.sh   only the plain test suite (for a fast local loop)
set -euo pipefail
cd "$(dirname "$0")"
scripts/bootstrap.sh fuzz package

jobs=$(nproc 2>/dev/null || echo 2)
export QT_QPA_PLATFORM=offscreen

echo "== layers and format"
scripts/check-layers.sh
scripts/check-format.sh

echo "== build and test"
# The suite runs on the optimised build that is shipped; the sanitizer pass below keeps a Debug
# build with assertions under the same tests.
cmake -S . -B build-release -G Ninja -DCMAKE_BUILD_TYPE=Release -DVESMARA_WERROR=ON >/dev/null
cmake --build build-release --parallel "$jobs"
ctest --test-dir build-release --output-on-failure --parallel "$jobs" --timeout 300

[ "${VESMARA_QUICK:-0}" = 1 ] && exit 0

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

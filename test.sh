#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test. Exits non-zero on any failure.
set -euo pipefail
cd "$(dirname "$0")"
scripts/bootstrap.sh

jobs=$(nproc 2>/dev/null || echo 2)
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Debug -DVESMARA_WERROR=ON
cmake --build build --parallel "$jobs"

export QT_QPA_PLATFORM=offscreen
ctest --test-dir build --output-on-failure --parallel "$jobs" --timeout 300

#!/usr/bin/env bash
# Builds the Debian package: a Release build of the three programs, then CPack (dependencies from
# dpkg-shlibdeps, binaries stripped) into DIR/monitorvesmara_*.deb.
# Usage: scripts/package.sh [DIR]   DIR defaults to build-package/, configured here for packaging
#                                   only; any other DIR must already hold a Release configuration
#                                   (test.sh packages the build its suite has just run on).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/bootstrap.sh package

dir=${1:-build-package}
jobs=$(nproc 2>/dev/null || echo 2)
if [ "$dir" = build-package ]; then
    # Installing builds only what it installs: the tests and benchmarks stay out of this folder.
    cmake -S . -B build-package -G Ninja -DCMAKE_BUILD_TYPE=Release -DVESMARA_WERROR=ON \
        -DVESMARA_BENCH=OFF -DCMAKE_SKIP_INSTALL_ALL_DEPENDENCY=ON >/dev/null
elif ! grep -qx 'CMAKE_BUILD_TYPE:STRING=Release' "$dir/CMakeCache.txt" 2>/dev/null; then
    echo "package.sh: $dir is not a configured Release build" >&2
    exit 2
fi
cmake --build "$dir" --parallel "$jobs" --target monitorvesmara vesmara-pbx vesmara-probe
rm -f "$dir"/monitorvesmara_*.deb
(cd "$dir" && cpack -G DEB >/dev/null)
ls "$dir"/monitorvesmara_*.deb

#!/usr/bin/env bash
# Builds the Debian package: a Release build of the three programs in build-package/, then CPack
# (dependencies from dpkg-shlibdeps, binaries stripped) into build-package/monitorvesmara_*.deb.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/bootstrap.sh package

jobs=$(nproc 2>/dev/null || echo 2)
# Installing builds only what it installs: the tests and benchmarks stay out of this folder.
cmake -S . -B build-package -G Ninja -DCMAKE_BUILD_TYPE=Release -DVESMARA_WERROR=ON \
    -DVESMARA_BENCH=OFF -DCMAKE_SKIP_INSTALL_ALL_DEPENDENCY=ON >/dev/null
cmake --build build-package --parallel "$jobs" --target monitorvesmara vesmara-pbx vesmara-probe
rm -f build-package/monitorvesmara_*.deb
(cd build-package && cpack -G DEB >/dev/null)
ls build-package/monitorvesmara_*.deb

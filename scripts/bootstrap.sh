#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the screenshots need.
# Usage: scripts/bootstrap.sh [base|fuzz|screens|package|bench ...]   (base is always included)
# Only missing packages are installed; apt-get runs as root or through sudo.
set -euo pipefail

base=(qt6-base-dev libqt6sql6-sqlite libsqlite3-dev libssl-dev cmake ninja-build g++ pkg-config
      xvfb xauth fonts-dejavu-core clang-format
      qt6-translations-l10n libqt6svg6)
fuzz=(clang libclang-rt-14-dev)
screens=(imagemagick x11-utils python3-pyatspi at-spi2-core dbus-x11)
# Building the Debian package (dpkg-shlibdeps, and file for CPack to find the binaries) and
# checking it; the plugins it depends on, so that its dependencies resolve without apt's lists.
package=(dpkg-dev file lintian desktop-file-utils appstream qt6-qpa-plugins libqt6svg6)
bench=(nodejs npm)

want=("${base[@]}")
for group in "$@"; do
    case "$group" in
        base) ;;
        fuzz) want+=("${fuzz[@]}") ;;
        screens) want+=("${screens[@]}") ;;
        package) want+=("${package[@]}") ;;
        # A node already on the machine (from any source) serves the benchmarks as well.
        bench) command -v node >/dev/null && command -v npm >/dev/null || want+=("${bench[@]}") ;;
        *) echo "bootstrap: unknown group '$group'" >&2; exit 2 ;;
    esac
done

missing=()
for pkg in "${want[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$pkg")
    fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "bootstrap: installing ${missing[*]}"
if [ "$(id -u)" -eq 0 ]; then
    as_root=()
elif command -v sudo >/dev/null 2>&1; then
    as_root=(sudo)
else
    echo "bootstrap: need root or sudo to install: ${missing[*]}" >&2
    exit 1
fi
export DEBIAN_FRONTEND=noninteractive
"${as_root[@]}" apt-get update -qq
"${as_root[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"

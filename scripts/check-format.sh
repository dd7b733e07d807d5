#!/usr/bin/env bash
# Fails when a C++ source differs from what clang-format (with the root .clang-format) writes.
#   scripts/check-format.sh --fix   rewrites the sources instead
set -euo pipefail
cd "$(dirname "$0")/.."
mapfile -t files < <(git ls-files '*.cpp' '*.h')
if [ "${1:-}" = "--fix" ]; then
    clang-format -i "${files[@]}"
    exit 0
fi
if ! clang-format --dry-run -Werror "${files[@]}" 2>/tmp/vesmara-format.$$; then
    grep -E '^[^ ].*(warning|error):' /tmp/vesmara-format.$$ | cut -d: -f1 | sort -u |
        sed 's/^/format: not clang-formatted: /' >&2
    rm -f /tmp/vesmara-format.$$
    echo "format: run scripts/check-format.sh --fix" >&2
    exit 1
fi
rm -f /tmp/vesmara-format.$$
echo "format: every source is clang-formatted"

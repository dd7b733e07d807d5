#!/usr/bin/env bash
# Fails when a source includes from a layer above its own, or when anything below the windows
# includes a QtWidgets header. Layers, lowest first: base settings link model monitor ui app.
# The probe may use everything below ui; the simulator uses none of the monitor's code.
set -euo pipefail
cd "$(dirname "$0")/.."

rank() {
    case "$1" in
        base) echo 0 ;; settings) echo 1 ;; link) echo 2 ;; model) echo 3 ;; monitor) echo 4 ;;
        ui) echo 5 ;; app) echo 6 ;; *) echo -1 ;;
    esac
}

qt_widgets_dir=$(find /usr/include -maxdepth 3 -type d -name QtWidgets -path '*qt6*' | head -n1)
widgets_headers=""
if [ -n "$qt_widgets_dir" ]; then
    widgets_headers=$(ls "$qt_widgets_dir" | grep -v '\.h$' | grep '^Q' || true)
fi

fail=0
check_file() { # file, own rank (the highest layer it may include), widgets allowed (0/1)
    local file=$1 own=$2 widgets=$3 line inc top r
    while IFS= read -r line; do
        inc=${line#*\"}
        inc=${inc%%\"*}
        top=${inc%%/*}
        r=$(rank "$top")
        if [ "$r" -gt "$own" ] || { [ "$own" -lt 0 ] && [ "$r" -ge 0 ]; }; then
            echo "layers: $file includes \"$inc\" from a higher layer" >&2
            fail=1
        fi
    done < <(grep -E '^\s*#\s*include\s+"' "$file" || true)
    if [ "$widgets" = 0 ]; then
        while IFS= read -r line; do
            inc=${line#*<}
            inc=${inc%%>*}
            inc=${inc#QtWidgets/}
            if [[ $line == *"<QtWidgets"* ]] || grep -qx -- "$inc" <<<"$widgets_headers"; then
                echo "layers: $file includes <$inc>, a QtWidgets header, below the windows" >&2
                fail=1
            fi
        done < <(grep -E '^\s*#\s*include\s+<Q' "$file" || true)
    fi
}

while IFS= read -r file; do
    top=${file%%/*}
    case "$top" in
        base | settings | link | model | monitor) check_file "$file" "$(rank "$top")" 0 ;;
        ui | app) check_file "$file" "$(rank "$top")" 1 ;;
        tools) check_file "$file" "$(rank monitor)" 0 ;;
        sim) check_file "$file" -1 0 ;;
    esac
done < <(git ls-files '*.cpp' '*.h')

[ "$fail" = 0 ] && echo "layers: every include respects the layers"
exit "$fail"

#!/usr/bin/env bash
# Checks a built Debian package: lintian (no errors), the desktop entry and the AppStream
# metainfo (clean), the file list, the dependencies, and the three programs answering from the
# package's own files unpacked into a scratch root, with no display.
# Usage: scripts/check-package.sh PACKAGE.deb
set -euo pipefail
[ $# -eq 1 ] && [ -f "$1" ] || { echo "usage: $0 PACKAGE.deb" >&2; exit 2; }
deb=$(realpath "$1")
cd "$(dirname "$0")/.."

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
fail=0
failed() { echo "check-package: $*" >&2; fail=1; }

version=$(dpkg-deb -f "$deb" Version)
echo "== $(basename "$deb"): version $version"

echo "== lintian"
# Warnings and notes are printed for the reader; only errors fail.
lintian --fail-on error "$deb" || failed "lintian reports errors"

echo "== file list"
expected=$(
    cat <<'EOF'
./usr/
./usr/bin/
./usr/bin/monitorvesmara
./usr/bin/vesmara-pbx
./usr/bin/vesmara-probe
./usr/share/
./usr/share/applications/
./usr/share/applications/monitorvesmara.desktop
./usr/share/doc/
./usr/share/doc/monitorvesmara/
./usr/share/doc/monitorvesmara/README.md
./usr/share/doc/monitorvesmara/README.simulador.md
./usr/share/doc/monitorvesmara/changelog.gz
./usr/share/doc/monitorvesmara/copyright
./usr/share/icons/
./usr/share/icons/hicolor/
./usr/share/icons/hicolor/scalable/
./usr/share/icons/hicolor/scalable/apps/
./usr/share/icons/hicolor/scalable/apps/monitorvesmara.svg
./usr/share/metainfo/
./usr/share/metainfo/invalid.vesmara.monitorvesmara.metainfo.xml
EOF
)
listing=$(dpkg-deb -c "$deb")
actual=$(awk '$6 != "./" {print $6}' <<<"$listing" | sort)
if [ "$actual" != "$(sort <<<"$expected")" ]; then
    failed "the package's files differ from the expected list:"
    diff <(sort <<<"$expected") <(echo "$actual") >&2 || true
fi
# Everything root's; programs and folders 0755, the rest 0644.
while read -r mode owner _ _ _ path _; do
    want=-rw-r--r--
    case "$path" in */) want=drwxr-xr-x ;; ./usr/bin/*) want=-rwxr-xr-x ;; esac
    [ "$mode" = "$want" ] && [ "$owner" = root/root ] || failed "$path is $mode $owner"
done <<<"$listing"

echo "== dependencies"
depends=$(dpkg-deb -f "$deb" Depends)
echo "Depends: $depends"
# The libraries come from the binaries (dpkg-shlibdeps); the plugins are named by hand.
for pkg in libc6 libqt6core6 libqt6widgets6 libqt6network6 libqt6sql6 libssl3 \
    qt6-qpa-plugins libqt6svg6 libqt6sql6-sqlite; do
    grep -Eq "(^|, )$pkg( |,|$)" <<<"$depends" || failed "Depends lacks $pkg"
done
# apt can resolve them on this release (a simulation: nothing is installed).
if ! apt-get install --simulate --no-install-recommends "$deb" >"$scratch/apt.log" 2>&1; then
    cat "$scratch/apt.log" >&2
    failed "apt cannot install the package"
fi

echo "== unpacked into a scratch root"
root=$scratch/root
dpkg-deb -x "$deb" "$root"

desktop=$root/usr/share/applications/monitorvesmara.desktop
out=$(desktop-file-validate "$desktop" 2>&1) && [ -z "$out" ] ||
    failed "desktop-file-validate: $out"
icon=$(sed -n 's/^Icon=//p' "$desktop")
[ -f "$root/usr/share/icons/hicolor/scalable/apps/$icon.svg" ] ||
    failed "the desktop entry's icon '$icon' is not in the package"
exec_name=$(sed -n 's/^Exec=\([^ ]*\).*/\1/p' "$desktop")
[ -x "$root/usr/bin/$exec_name" ] || failed "the desktop entry runs '$exec_name', not in /usr/bin"

metainfo=$root/usr/share/metainfo/invalid.vesmara.monitorvesmara.metainfo.xml
appstreamcli validate --no-net --pedantic "$metainfo" || failed "appstreamcli validate"
grep -q "<release version=\"$version\"" "$metainfo" ||
    failed "the metainfo does not name the release $version"
zcat "$root/usr/share/doc/monitorvesmara/changelog.gz" | head -n1 | grep -q "($version)" ||
    failed "the changelog's last entry is not $version"
readme=$root/usr/share/doc/monitorvesmara/README.md
grep -q '^## Install$' "$readme" || failed "the installed README has no Install section"
grep -q '^## Tests$' "$readme" && failed "the installed README carries the developers' sections"
grep -qF "$(basename "$deb")" "$readme" ||
    failed "the installed README's Install section does not name $(basename "$deb")"

# No display at all: --help and --version must answer before any window system is needed.
run() { env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$root/usr/bin/$1" "${@:2}"; }
expect() { # what, expected output, actual output
    [ "$3" = "$2" ] || failed "$1: expected '$2', got '$3'"
}
expect "monitorvesmara --version" "Monitor Vesmara $version" "$(run monitorvesmara --version)"
expect "vesmara-pbx --version" "vesmara-pbx $version" "$(run vesmara-pbx --version)"
expect "vesmara-probe --version" "vesmara-probe $version" "$(run vesmara-probe --version)"
help=$(run monitorvesmara --help)
for text in "Uso: " "Opções:" "Mostra esta ajuda." "Mostra a versão."; do
    grep -qF -- "$text" <<<"$help" || failed "monitorvesmara --help lacks '$text'"
done
grep -q -- "--scenario" <<<"$(run vesmara-pbx --help)" || failed "vesmara-pbx --help"
grep -q -- "--dump" <<<"$(run vesmara-probe --help)" || failed "vesmara-probe --help"
# Unknown options are refused once Qt has taken its own (-platform here).
if out=$(QT_QPA_PLATFORM=offscreen "$root/usr/bin/monitorvesmara" -platform offscreen --versao 2>&1); then
    failed "monitorvesmara --versao was accepted"
else
    grep -qF "Opção desconhecida: 'versao'." <<<"$out" || failed "monitorvesmara --versao: $out"
fi

[ "$fail" = 0 ] && echo "== package ok"
exit "$fail"

#!/usr/bin/env bash
# Reads a monitoring window through the accessibility bus (AT-SPI) under Xvfb, in each view mode
# asked for, and prints every row's cells, every tile's text, every trunk strip's lines and what
# painted widgets (the queue summary panel, its chart) describe (scripts/a11y-dump.py).
#   scripts/a11y-check.sh [--settings DIR] [--seconds N] [--font LEVEL] [--window NAME]
#                         [--scenario S] [MODE]...   (default 0 1 2)
# NAME is a registry name (default "Atendentes"; "Ramais", "Troncos", "Troncosd1", ...; "Fila" +
# a queue's id for a queue window, whose member list takes the mode).
# The settings folder (default build-release/demo-settings) is copied, never changed.
set -euo pipefail
cd "$(dirname "$0")/.."
settings=build-release/demo-settings
seconds=12
font=""
janela=Atendentes
modes=()
while [ $# -gt 0 ]; do
    case "$1" in
        --settings) settings=$2; shift 2 ;;
        --seconds) seconds=$2; shift 2 ;;
        --font) font=$2; shift 2 ;;
        --window) janela=$2; shift 2 ;;
        --scenario) export VESMARA_SCENARIO=$2; shift 2 ;;
        *) modes+=("$1"); shift ;;
    esac
done
[ ${#modes[@]} -gt 0 ] || modes=(0 1 2)

scripts/bootstrap.sh screens
# shellcheck source=scripts/demo-common.sh
source scripts/demo-common.sh

for mode in "${modes[@]}"; do
    dir="$work/settings"
    rm -rf "$dir"
    mkdir -p -m 700 "$dir"
    [ -d "$settings" ] && cp -r "$settings"/. "$dir"/
    [ -f "$dir/MonitorVesmara.ini" ] || printf '[Geral]\r\nConexaoAtiva=Demo\r\n' >"$dir/MonitorVesmara.ini"
    profile="$dir/MonitorVesmaraDemo.ini"
    [ -f "$profile" ] || : >"$profile"
    ini_set "$profile" Conexao IP 127.0.0.1
    ini_set "$profile" Conexao Porta "$port"
    ini_set "$profile" Conexao Usuario demo
    ini_set "$profile" Conexao SalvarSenha 1
    ini_set "$profile" Conexao Senha demo
    ini_set "$profile" Preferencias TelasAbrir "$janela"
    ini_set "$profile" "Tela$janela" Width 1100
    ini_set "$profile" "Tela$janela" Height 760
    # A queue window keeps its member list's keys with the suffix "Agentes".
    sufixo=""
    [[ "$janela" == Fila[0-9]* ]] && sufixo=Agentes
    ini_set "$profile" "Tela$janela" "ModoVisualizacao$sufixo" "$mode"
    if [ -n "$font" ]; then
        ini_set "$profile" "Tela$janela" "TamanhoDaFonteLista$sufixo" "$font"
        ini_set "$profile" "Tela$janela" "TamanhoDaFonteIcone$sufixo" "$font"
    fi
    echo "=== $janela, mode $mode${font:+, font level $font}"
    MONITORVESMARA_DIR="$dir" QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 dbus-run-session -- \
        xvfb-run -a -s "-screen 0 1600x1000x24" bash -c "
        /usr/libexec/at-spi-bus-launcher --launch-immediately & bus=\$!
        sleep 1
        build-release/app/monitorvesmara & app=\$!
        sleep $seconds
        /usr/bin/python3 scripts/a11y-dump.py monitorvesmara; rc=\$?
        kill \$app \$bus
        exit \$rc" 2>&1 | grep -v -e "^SpiRegistry" -e "^dbus-daemon" -e "Qt: Session management" || true
done

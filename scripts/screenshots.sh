#!/usr/bin/env bash
# Screenshots of the monitor connected to the simulator, under Xvfb: for each window asked for,
# the monitor starts with that window to reopen and a PNG of the screen is saved.
#   scripts/screenshots.sh [--settings DIR] [--out DIR] [--seconds N] [--scenario S]
#                          [--screen WxH] [WINDOW[:MODE[:FONT]]]...
# WINDOW is a registry name ("Atendentes", "AtendentesChat", "Fila" + a queue's id, "Ramais",
# "Troncos", "Troncosc", "Troncosa", "Troncosd" or "Troncoss" + the trunk's position); MODE its
# view mode (0 list, 1 detail, 2 tiles; in a queue window, of its member list); FONT the font
# level (0 to 5) of the lists and the tiles. --scenario is the simulator's (demo, or big:A,Q,C);
# the PNG name then carries it. Default: Atendentes:0 Atendentes:1 Atendentes:2. The settings
# folder (default build-release/demo-settings) is copied, never changed. --screen sets the Xvfb
# screen (default 1600x1000); the wallboard ("Painel") opens in full screen on it.
# The campaign windows too: "Campanhas" (the summary) and "Campanha" + a campaign's id.
# --alertas writes alert rules that fire within seconds on the demo (callers waiting, no free
# agent, after-call work over 2 s, a call over a minute); --xdo "ARGS" runs xdotool ARGS on the
# monitor before the capture (e.g. --xdo "key ctrl+f type pausa" or --xdo "key alt+f a").
# "Chat" opens the chat window with the message notifications switched on. SHOT_CLICKS, a list
# of "x,y" or "x,y,button" screen points, is clicked in order (one second apart) before the PNG
# is taken.
set -euo pipefail
cd "$(dirname "$0")/.."
settings=build-release/demo-settings
out=shots
seconds=12
screen=1600x1000
windows=()
alertas=""
xdo=""
while [ $# -gt 0 ]; do
    case "$1" in
        --settings) settings=$2; shift 2 ;;
        --out) out=$2; shift 2 ;;
        --seconds) seconds=$2; shift 2 ;;
        --scenario) export VESMARA_SCENARIO=$2; shift 2 ;;
        --screen) screen=$2; shift 2 ;;
        --alertas) alertas=1; shift ;;
        --xdo) xdo=$2; shift 2 ;;
        *) windows+=("$1"); shift ;;
    esac
done
[ ${#windows[@]} -gt 0 ] || windows=(Atendentes:0 Atendentes:1 Atendentes:2)

scripts/bootstrap.sh screens
# shellcheck source=scripts/demo-common.sh
source scripts/demo-common.sh
mkdir -p "$out"

for entry in "${windows[@]}"; do
    IFS=: read -r name mode font <<<"$entry"
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
    ini_set "$profile" Preferencias TelasAbrir "$name"
    ini_set "$profile" "Tela$name" Width 1100
    ini_set "$profile" "Tela$name" Height 760
    # A queue window keeps its member list's keys with the suffix "Agentes".
    sufixo=""
    [[ "$name" == Fila[0-9]* ]] && sufixo=Agentes
    # A campaign window too; its panel with the summary block is wider than the others.
    [[ "$name" == Campanha[0-9]* ]] && sufixo=Agentes
    if [[ "$name" == Campanha* ]]; then
        ini_set "$profile" "Tela$name" Width 1560
        ini_set "$profile" "Tela$name" Height 900
    fi
    [ -n "$mode" ] && ini_set "$profile" "Tela$name" "ModoVisualizacao$sufixo" "$mode"
    if [ -n "$font" ]; then
        ini_set "$profile" "Tela$name" "TamanhoDaFonteLista$sufixo" "$font"
        ini_set "$profile" "Tela$name" "TamanhoDaFonteIcone$sufixo" "$font"
    fi
    [ "$name" = Painel ] && ini_set "$profile" TelaPainel TelaCheia 1
    if [ -n "$alertas" ]; then
        ini_set "$profile" Alertas Quantidade 4
        ini_set "$profile" Alerta1 Tipo FilaEsperando
        ini_set "$profile" Alerta1 Limite 1
        ini_set "$profile" Alerta2 Tipo FilaSemLivre
        ini_set "$profile" Alerta2 Limite 0
        ini_set "$profile" Alerta3 Tipo AgentePosAtendimento
        ini_set "$profile" Alerta3 Limite 2
        ini_set "$profile" Alerta4 Tipo AgenteLigacao
        ini_set "$profile" Alerta4 Limite 1
    fi
    if [ "$name" = Chat ]; then
        ini_set "$dir/MonitorVesmara.ini" Notificacao ChatRxMensagem 1
        ini_set "$dir/MonitorVesmara.ini" Notificacao TempoNotificacao 20
        ini_set "$profile" TelaChat Top 0
        ini_set "$profile" TelaChat Left 0
    fi
    tag=${VESMARA_SCENARIO:-}
    tag=${tag//[:,]/-}
    shot="$out/$name${mode:+-$mode}${font:+-f$font}${tag:+-$tag}${alertas:+-alertas}${xdo:+-xdo}.png"
    [ "$screen" = 1600x1000 ] || shot="${shot%.png}-$screen.png"
    MONITORVESMARA_DIR="$dir" xvfb-run -a -s "-screen 0 ${screen}x24" bash -c "
        build-release/app/monitorvesmara & app=\$!
        sleep $seconds
        if [ -n '$xdo' ]; then
            xdotool search --sync --name 'Monitor Vesmara' windowfocus 2>/dev/null || true
            xdotool $xdo
            sleep 2
        fi
        for xy in ${SHOT_CLICKS:-}; do
            IFS=, read -r x y b <<<\"\$xy\"
            xdotool mousemove \$x \$y click \${b:-1}
            sleep 1
        done
        import -window root '$shot'
        kill \$(jobs -p) 2>/dev/null" >/dev/null 2>&1
    echo "$shot"
done

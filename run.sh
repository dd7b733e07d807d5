#!/usr/bin/env bash
# Installs what is missing, builds Release, starts the PBX simulator with the demo scenario on
# loopback and opens the monitor connected to it, logged in as the demo user.
#   ./run.sh                 the desktop monitor (needs a display)
#   ./run.sh --probe [ARGS]  the headless probe instead, with extra probe arguments
# Environment: VESMARA_SPEED (simulator speed, default 1), VESMARA_SEED (default 1).
set -euo pipefail
cd "$(dirname "$0")"
scripts/bootstrap.sh

jobs=$(nproc 2>/dev/null || echo 2)
cmake -S . -B build-release -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build-release --parallel "$jobs" --target vesmara-pbx vesmara-probe monitorvesmara

workdir=$(mktemp -d)
sim_pid=""
cleanup() {
    [ -n "$sim_pid" ] && kill "$sim_pid" 2>/dev/null || true
    rm -rf "$workdir"
}
trap cleanup EXIT

# Any free manager port: the line the simulator prints tells which. The monitor looks for the
# chat server on the fixed chat port 5033 of the same host, so the simulator takes it when free.
start_pbx() {
    build-release/sim/vesmara-pbx --port 0 --chat-port "$1" --scenario demo \
        --speed "${VESMARA_SPEED:-1}" --seed "${VESMARA_SEED:-1}" >"$workdir/pbx.out" 2>"$workdir/pbx.err" &
    sim_pid=$!
    for _ in $(seq 1 200); do
        grep -q '^vesmara-pbx listening' "$workdir/pbx.out" 2>/dev/null && return 0
        kill -0 "$sim_pid" 2>/dev/null || return 1
        sleep 0.1
    done
    return 1
}
if ! start_pbx 5033; then
    echo "chat port 5033 is busy: the chat connection will not reach this simulator" >&2
    start_pbx 0 || { cat "$workdir/pbx.err" >&2; exit 1; }
fi
line=$(grep '^vesmara-pbx listening' "$workdir/pbx.out")
port=$(sed -E 's/.*manager=([0-9]+).*/\1/' <<<"$line")
echo "$line"

if [ "${1:-}" = "--probe" ]; then
    shift
    build-release/tools/probe/vesmara-probe --host 127.0.0.1 --port "$port" --user demo \
        --password demo "$@"
    exit $?
fi

# The monitor gets a settings folder of its own (kept between runs, so window layouts survive)
# with a demo profile: address and port of this simulator, user demo with a saved password, so
# it connects and logs in with no typing.
export MONITORVESMARA_DIR="$PWD/build-release/demo-settings"
mkdir -p -m 700 "$MONITORVESMARA_DIR"
profile="$MONITORVESMARA_DIR/MonitorVesmaraDemo.ini"
if [ -f "$profile" ] && grep -q '^Porta=' "$profile"; then
    sed -i -E "s/^Porta=[0-9]*/Porta=$port/" "$profile"
else
    printf '[Conexao]\r\nIP=127.0.0.1\r\nPorta=%s\r\nUsuario=demo\r\nSalvarSenha=1\r\nSenha=demo\r\n' \
        "$port" >"$profile"
fi
[ -f "$MONITORVESMARA_DIR/MonitorVesmara.ini" ] ||
    printf '[Geral]\r\nConexaoAtiva=Demo\r\n' >"$MONITORVESMARA_DIR/MonitorVesmara.ini"
chmod 600 "$MONITORVESMARA_DIR"/*.ini
build-release/app/monitorvesmara

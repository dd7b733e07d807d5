#!/usr/bin/env bash
# Ten minutes of the demo call centre at --speed 50 with the probe following: samples the
# probe's resident memory every 10 s and compares its lists with the simulator's own view.
#   bench/soak.sh [build folder] [seconds]
set -euo pipefail
build=${1:-build-bench}
seconds=${2:-600}
work=$(mktemp -d)
trap 'kill $pbx 2>/dev/null || true; rm -rf "$work"' EXIT

$build/sim/vesmara-pbx --port 0 --chat-port 0 --speed 50 --dump-state $seconds >"$work/pbx.out" 2>"$work/pbx.err" &
pbx=$!
for _ in $(seq 100); do grep -q listening "$work/pbx.out" 2>/dev/null && break; sleep 0.1; done
port=$(sed -nE 's/.*manager=([0-9]+).*/\1/p' "$work/pbx.out")
$build/tools/probe/vesmara-probe --port "$port" --no-log --follow "$seconds" --timeout 120 \
    --dump Canais --dump Filas --dump Atendentes >"$work/probe.out" 2>&1 &
probe=$!
echo "seconds rss_kib"
while kill -0 $probe 2>/dev/null; do
    rss=$(awk '/VmRSS/{print $2}' /proc/$probe/status 2>/dev/null || true)
    [ -n "$rss" ] && echo "$SECONDS $rss" | tee -a "$work/rss"
    sleep 10
done
wait $probe || { echo "probe failed"; tail -5 "$work/probe.out"; exit 1; }
awk 'NR==1{next} NR==7{base=$2} {last=$2; if ($2>max) max=$2} END{
    printf "after warm-up (60 s): %d KiB; end: %d KiB; peak %d KiB; growth %.1f%%\n", base, last, max, 100*(last-base)/base}' "$work/rss"
monitor=$(awk '/^Ramal: |^Fila|^Agent/{exit} /^Channel: /' "$work/probe.out" | wc -l)
sim=$(grep -m1 -E '^Channels: [0-9]+' <(tac "$work/pbx.err") | sed -E 's/Channels: //')
echo "live channels at the end: monitor $monitor, simulator $sim"

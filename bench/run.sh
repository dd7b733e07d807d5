#!/usr/bin/env bash
# Builds the benchmarks (Release), generates their data and prints every figure:
#   bench/run.sh          dispatch (two sizes), the npm peer, the load of a large call centre
#   bench/run.sh --soak   also the 10-minute soak (demo scenario at --speed 50, probe following)
# Environment: BENCH_EVENTS (default 1000000).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/bootstrap.sh bench

jobs=$(nproc 2>/dev/null || echo 2)
events=${BENCH_EVENTS:-1000000}
build=build-bench
data=$build/data
cmake -S . -B $build -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build $build --parallel "$jobs" --target bench_gen bench_dispatch bench_load bench_view bench_queue bench_telephony_view bench_wallboard bench_summary bench_alerts vesmara-pbx vesmara-probe
mkdir -p $data

gen() { # name scenario
    [ -s "$data/$1.day" ] && [ "$(cat "$data/$1.events" 2>/dev/null)" = "$events" ] && return
    $build/bench/bench_gen --scenario "$2" --events "$events" --out "$data/$1"
    echo "$events" >"$data/$1.events"
}
gen small big:500,50,2000
gen large big:5000,500,20000

echo
echo "== dispatch, 500 agents / 50 queues"
$build/bench/bench_dispatch $data/small | tee $data/small.out
echo
echo "== dispatch, 5000 agents / 500 queues"
$build/bench/bench_dispatch $data/large | tee $data/large.out
small_ns=$(sed -nE 's/^\(b\) full path: .* ([0-9]+) ns\/event/\1/p' $data/small.out)
large_ns=$(sed -nE 's/^\(b\) full path: .* ([0-9]+) ns\/event/\1/p' $data/large.out)
echo "scaling: full-path cost per event at 5000 agents / at 500 agents = $(awk "BEGIN{printf \"%.2f\", $large_ns/$small_ns}")"

echo
echo "== the same stream through the npm library asterisk-manager (node)"
if command -v node >/dev/null && command -v npm >/dev/null; then
    mkdir -p bench/peers
    [ -d bench/peers/node_modules/asterisk-manager ] ||
        npm install --prefix bench/peers --no-audit --no-fund --silent asterisk-manager@0.2.0
    count=$(sed -nE 's/^events ([0-9]+) .*/\1/p' $data/large.out)
    peer=$(NODE_PATH=bench/peers/node_modules node bench/peer_asterisk_manager.js $data/large.day "$count")
    peer_rate=$(sed -nE 's/.*"eventsPerSecond":([0-9.]+).*/\1/p' <<<"$peer")
    ours_a=$(sed -nE 's/^\(a\) framing\+parsing: +([0-9]+) events.*/\1/p' $data/large.out)
    ours_b=$(sed -nE 's/^\(b\) full path: +([0-9]+) events.*/\1/p' $data/large.out)
    echo "asterisk-manager: $(printf '%.0f' "$peer_rate") events/s"
    echo "ours (a)/peer = $(awk "BEGIN{printf \"%.1f\", $ours_a/$peer_rate}"), ours (b)/peer = $(awk "BEGIN{printf \"%.1f\", $ours_b/$peer_rate}")"
else
    echo "node/npm missing: skipped"
fi

echo
echo "== load of a large call centre"
$build/bench/bench_load $build/sim/vesmara-pbx big:5000,500,20000

echo
echo "== agents window, 2000 agents: one 1 s tick (offscreen)"
QT_QPA_PLATFORM=offscreen $build/bench/bench_view 2000 30 2>/dev/null

echo
echo "== queue window, 500 members and 200 waiting calls: one 1 s tick, a burst (offscreen)"
QT_QPA_PLATFORM=offscreen $build/bench/bench_queue 500 200 30 2>/dev/null
echo
echo "== extensions window, 5000 extensions: one 1 s tick; trunks window, 20 E1: 1000 line events"
# 4,950 agents' telephones and the scenario's 50 support telephones, with some traffic going on.
if [ ! -s $data/ramais.day ]; then
    $build/bench/bench_gen --scenario big:4950,100,2000 --events 50000 --out $data/ramais
fi
QT_QPA_PLATFORM=offscreen $build/bench/bench_telephony_view $data/ramais 30 2>/dev/null

echo
echo "== wallboard, 40 queues and 2000 agents at 1920x1080: one 1 s tick and repaint (offscreen)"
QT_QPA_PLATFORM=offscreen $build/bench/bench_wallboard 40 2000 30 2>/dev/null
echo "== queues summary, 500 queues of big:5000,500,20000: one 1 s tick, bursts of 1,000 queue notices"
QT_QPA_PLATFORM=offscreen $build/bench/bench_summary $data/large 30 2>/dev/null
echo "== threshold alerts, 5000 agents and 500 queues: one 1 s tick"
$build/bench/bench_alerts 5000 500 30

if [ "${1:-}" = "--soak" ]; then
    echo
    echo "== soak"
    bench/soak.sh $build
fi

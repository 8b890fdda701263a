#!/bin/bash
# The sweep of 127.0.0.1-127.0.4.254 with 50 loopback NetBIOS nodes and 25 loopback nodes that
# answer multicast DNS only (Unix responders, tests/win32/support/node_responders.py), a 2 s
# time-out: the time the questions take to leave, the whole wall time and the answers, over
# FF_BENCH_REPS runs (default 3). Then FindFileCmd --computers --sweep --no-dns of the same range,
# as a user runs it (Wine's start included). Only loopback addresses are ever asked, and never the
# system's resolver.
set -euo pipefail
root="$(cd "$(dirname "$0")/../.." && pwd)"
build="${FF_BUILD_DIR:-$root/build/$("$root/tools/windows-config.sh")}"
reps="${FF_BENCH_REPS:-3}"
range=127.0.0.1-127.0.4.254
cmake --build "$build" --target ff_sweep_bench FindFileCmd -j2 >/dev/null

nodes=()
for i in $(seq 0 49); do
    third=$(( i % 5 ))
    fourth=$(( 10 + i * 4 ))
    nodes+=("127.0.$third.$fourth=answer=NODE$i<00>,BENCH<00>g=02-00-00-00-00-$(printf %02x "$i")")
done
for i in $(seq 0 24); do
    nodes+=("127.0.$(( i % 5 )).$(( 12 + i * 8 ))=mdns=mdns$i.local=-")
done
base=/tmp/ff_sweep_bench_$$
python3 "$root/tests/win32/support/node_responders.py" "$base" "${nodes[@]}" &
responders=$!
trap 'touch "$base.stop"; wait "$responders" 2>/dev/null || true' EXIT
for _ in $(seq 100); do [ -f "$base.status" ] && break; sleep 0.05; done
[ "$(cat "$base.status")" = ready ] || { echo "responders: $(cat "$base.status")"; exit 1; }

for rep in $(seq "$reps"); do
    "$build/wine-run.sh" "$build/bin/ff_sweep_bench.exe" "$range" 2000 | tr -d '\r'
done
start=$(date +%s.%N)
rows=$("$build/wine-run.sh" "$build/bin/FindFileCmd.exe" --computers --sweep "$range" --no-dns | grep -c '^computer')
end=$(date +%s.%N)
echo "FindFileCmd --computers --sweep $range --no-dns: $rows rows, $(awk -v a="$start" -v b="$end" "BEGIN { printf \"%.2f\", b - a }") s with Wine's start"

#!/usr/bin/env bash
# The real program's CPU share over 60 s (MEASURE_SECONDS) of monitoring a K5A-QB4 at 9600 baud against k5sim,
# with the communication log and the trend open (LOG= or TREND= leaves one closed), read
# from /proc. Runs its own X server.   tools-cpu.sh [BUILD_DIR]
set -euo pipefail
cd "$(dirname "$0")/.."
B=$(cd "${1:-build}" && pwd)
if [ -z "${TOOLS_CPU_INNER:-}" ]; then TOOLS_CPU_INNER=1 exec xvfb-run -a -s "-screen 0 1280x800x24" "$0" "$B"; fi
work=$(mktemp -d); pids=()
trap 'kill "${pids[@]}" 2>/dev/null || true; rm -rf "$work"' EXIT
# shellcheck source=person.sh
source scripts/person.sh
seen() { grep -q "<- $1\$" "$work/sim.log"; }
wait_for() { for _ in $(seq 300); do seen "$1" && return; sleep 0.05; done; }
"$B/k5sim" --model K5A-QB4 --baud 9600 --log >"$work/sim.out" 2>"$work/sim.log" & pids+=($!)
for _ in $(seq 50); do grep -q '^VIREO_COM1=' "$work/sim.out" && break; sleep 0.1; done
VIREO_COM1=$(sed -n 's/^VIREO_COM1=//p' "$work/sim.out") "$B/vireo" &
vp=$!
pids+=("$vp")
window '^VIREO$' >/dev/null; sleep 1
[ -n "${LOG-1}" ] && { press "^VIREO$" ctrl+l; sleep 0.5; }
press '^VIREO$' space; press '^Com Setting$' Return; press '^Extension module type$' Return
wait_for I51; sleep 1
xdotool mousemove 738 345 click 1; sleep 0.5
[ -n "${TREND-1}" ] && press '^VIREO - K5A-QB4$' ctrl+t
sleep 3
ticks() { awk '{ print $14 + $15 }' "/proc/$vp/stat"; }
hz=$(getconf CLK_TCK); t0=$(ticks); s0=$(date +%s.%N); n0=$(grep -c '<- ' "$work/sim.log")
sleep "${MEASURE_SECONDS:-60}"
t1=$(ticks); s1=$(date +%s.%N); n1=$(grep -c '<- ' "$work/sim.log")
awk -v t="$((t1 - t0))" -v hz="$hz" -v a="$s0" -v b="$s1" -v n="$((n1-n0))" 'BEGIN { w=b-a; printf "monitoring %.1f s, CPU %.2f %% of a core, %d lines\n", w, 100*t/hz/w, n }'

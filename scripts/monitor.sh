#!/usr/bin/env bash
# Inside an X server: start VIREO, connect as a person would (Setting, OK, the 16-point extension
# module), press Start, take a screenshot while monitoring, and report the program's CPU share
# over the given seconds of monitoring, read from /proc.
# Usage: monitor.sh VIREO_BINARY K5SIM_LOG SCREENSHOT SECONDS
# (k5sim must run with --log, and VIREO_COM1 name its device.)
set -euo pipefail
vireo=$1 simlog=$2 shot=$3 seconds=${4:-30}

"$vireo" &
pid=$!
trap 'kill "$pid" 2>/dev/null || true' EXIT

# shellcheck source=person.sh
source "$(dirname "$0")/person.sh"
received() { grep -c '^k5sim <- ' "$simlog" || true; }

main=$(window '^VIREO$')
sleep 1
connect_as_person false
# The Upload is over once the unit has heard nothing for a second.
last=-1
for _ in $(seq 60); do
  now=$(received)
  [ "$now" = "$last" ] && break
  last=$now
  sleep 1
done

# Start: the first button of the "Monitoring" frame, clicked where it stands.
xdotool mousemove --window "$main" 725 345 click 1
sleep 2
import -window root "$shot"

ticks() { awk '{ print $14 + $15 }' "/proc/$pid/stat"; }
hz=$(getconf CLK_TCK)
lines0=$(received)
t0=$(ticks)
s0=$(date +%s.%N)
sleep "$seconds"
t1=$(ticks)
s1=$(date +%s.%N)
lines1=$(received)
awk -v t="$((t1 - t0))" -v hz="$hz" -v a="$s0" -v b="$s1" -v n="$((lines1 - lines0))" \
  'BEGIN { w = b - a; printf "monitoring %.1f s: CPU %.2f s, %.2f %% of a core; %d lines at the unit (%.1f a second)\n", w, t / hz, 100 * t / hz / w, n, n / w }'
kill "$pid" 2>/dev/null || true

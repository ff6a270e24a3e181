#!/usr/bin/env bash
# Set up, build, start the simulated unit and VIREO connected to it through COM1.
# Without a display, runs a short demo under Xvfb and saves a screenshot.
set -euo pipefail
cd "$(dirname "$0")"
./scripts/setup.sh vireo k5sim
B=${BUILD_DIR:-build}

# The simulated unit: a 4-channel analog input on CC-Link with a 16-point extension module.
read -r -a SIM_ARGS <<<"${K5SIM_ARGS:---model K5A-QB4 --channels 4 --ext DI}"
work=$(mktemp -d)
"$B/k5sim" "${SIM_ARGS[@]}" --log >"$work/k5sim.out" 2>"$work/k5sim.log" &
sim_pid=$!
trap 'kill "$sim_pid" 2>/dev/null || true; rm -rf "$work"' EXIT
for _ in $(seq 50); do grep -q '^VIREO_COM1=' "$work/k5sim.out" && break; sleep 0.1; done
VIREO_COM1=$(sed -n 's/^VIREO_COM1=//p' "$work/k5sim.out")
[ -n "$VIREO_COM1" ] || { echo "k5sim did not start" >&2; cat "$work/k5sim.log" >&2; exit 1; }
export VIREO_COM1
cat "$work/k5sim.out"

if [ -n "${DISPLAY:-}" ]; then
  echo "Starting VIREO. Pick Setting, then OK: COM1 opens $VIREO_COM1."
  "$B/vireo"
else
  shot=${SCREENSHOT:-$PWD/vireo-screenshot.png}
  echo "No display: running VIREO under Xvfb; it connects, uploads, and a screenshot goes to $shot"
  xvfb-run -a -s "-screen 0 1024x768x24" ./scripts/demo.sh "$B/vireo" "$work/k5sim.log" "$shot"
  echo "Screenshot saved to $shot"
fi

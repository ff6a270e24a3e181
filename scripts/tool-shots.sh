#!/usr/bin/env bash
# Screenshots of the communication log during an Upload, of the trend after a minute of
# monitoring, of the COM dialog's list of ports, of the log's statistics and of the first page of
# the report, against k5sim at 9600 baud. Runs its own X server.   tool-shots.sh [OUT_DIR] [BUILD_DIR]
# SHOTS=ports,stats,report (any of log, trend, ports, stats, report) takes only those.
set -euo pipefail
cd "$(dirname "$0")/.."
out=$(mkdir -p "${1:-docs/screenshots}" && cd "${1:-docs/screenshots}" && pwd)
B=$(cd "${2:-build}" && pwd)
if [ -z "${TOOL_SHOTS_INNER:-}" ]; then
  TOOL_SHOTS_INNER=1 exec xvfb-run -a -s "-screen 0 1280x800x24" "$0" "$out" "$B"
fi
work=$(mktemp -d)
pids=()
trap 'kill "${pids[@]}" 2>/dev/null || true; rm -rf "$work"' EXIT

# shellcheck source=person.sh
source scripts/person.sh
seen() { grep -q "<- $1\$" "$work/sim.log"; }
wait_for() { for _ in $(seq 300); do seen "$1" && return; sleep 0.05; done; }

# k5sim at 9600 baud, and VIREO connected to it through Setting / OK.
session() { # keys pressed before connecting
  : >"$work/sim.log"
  "$B/k5sim" --model K5A-QB4 --baud 9600 --log >"$work/sim.out" 2>"$work/sim.log" &
  pids+=($!)
  for _ in $(seq 50); do grep -q '^VIREO_COM1=' "$work/sim.out" && break; sleep 0.1; done
  VIREO_COM1=$(sed -n 's/^VIREO_COM1=//p' "$work/sim.out") "$B/vireo" &
  pids+=($!)
  window '^VIREO$' >/dev/null
  sleep 1
  [ -z "$1" ] || { press '^VIREO$' "$1"; sleep 0.5; }
  press '^VIREO$' space            # Setting has the focus at start
  press '^Com Setting$' Return     # OK
  press '^Extension module type$' Return
}
stop_session() { kill "${pids[@]}" 2>/dev/null || true; pids=(); sleep 0.5; }

want() { [[ ",${SHOTS:-log,trend,ports,stats,report}," == *",$1,"* ]]; }

# 1. The log, opened before connecting, while the Upload reads channel 3.
if want log; then
session ctrl+l
wait_for G3
sleep 0.3
import -window root "$out/log-during-upload.png"
stop_session
fi

# 2. The trend after a minute of monitoring.
if want trend; then
session ""
wait_for I51
sleep 1
xdotool mousemove 738 345 click 1    # Start (the window sits at the top left without a window manager)
sleep 0.5
press '^VIREO - K5A-QB4$' ctrl+t
xdotool windowmove "$(window '^Trend$')" 500 340
sleep 60
import -window root "$out/trend-after-a-minute.png"
stop_session
fi

# 3. The COM dialog with COM1's list open: the simulated unit's pseudo-terminal and the system's ports.
if want ports; then
  : >"$work/sim.log"
  "$B/k5sim" --model K5A-QB4 --baud 9600 --log >"$work/sim.out" 2>"$work/sim.log" &
  pids+=($!)
  for _ in $(seq 50); do grep -q '^VIREO_COM1=' "$work/sim.out" && break; sleep 0.1; done
  VIREO_COM1=$(sed -n 's/^VIREO_COM1=//p' "$work/sim.out") "$B/vireo" &
  pids+=($!)
  window '^VIREO$' >/dev/null
  sleep 1
  press '^VIREO$' space
  press '^Com Setting$' Tab        # from the option to its device
  xdotool key alt+Down
  sleep 1
  import -window root "$out/com-dialog-ports.png"
  stop_session
fi

# 4. The log with its statistics after half a minute of monitoring.
if want stats; then
  session ctrl+l
  wait_for I51
  sleep 1
  xdotool mousemove 738 345 click 1
  sleep 30
  import -window root "$out/log-statistics.png"
  stop_session
fi

# 5. File / Export Report... after an Upload, and the report's first page.
if want report; then
  session ""
  wait_for I51
  sleep 1
  xdotool mousemove 20 12 click 1   # File
  sleep 0.5
  xdotool key Down Down Down Down Down Return # Open, Save, Compare with Unit..., Find Units..., Export Report...
  sleep 1
  xdotool key ctrl+a
  xdotool type "$work/report.pdf"
  xdotool key Return
  for _ in $(seq 50); do [ -s "$work/report.pdf" ] && break; sleep 0.1; done
  sleep 0.5
  pdftoppm -png -r 80 -f 1 -l 1 -singlefile "$work/report.pdf" "$out/report-first-page"
  cp "$work/report.pdf" "$out/report.pdf"
  stop_session
fi
echo "screenshots in $out"

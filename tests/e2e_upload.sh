#!/usr/bin/env bash
# End to end: the real program, under an X server, against k5sim on a pseudo-terminal.
# A person's keys (Setting, OK, the 16-point extension module) start a Connect; the
# unit must then have received the whole Upload, network page included.
set -euo pipefail
vireo=$1 k5sim=$2 demo=$3
work=$(mktemp -d)
trap 'kill "$sim_pid" 2>/dev/null || true; rm -rf "$work"' EXIT

"$k5sim" --model K5A-QB4 --channels 4 --ext DI --log >"$work/out" 2>"$work/log" &
sim_pid=$!
for _ in $(seq 50); do grep -q '^VIREO_COM1=' "$work/out" && break; sleep 0.1; done
VIREO_COM1=$(sed -n 's/^VIREO_COM1=//p' "$work/out")
export VIREO_COM1
unset QT_QPA_PLATFORM

timeout 90 xvfb-run -a -s "-screen 0 1024x768x24" "$demo" "$vireo" "$work/log" "$work/shot.png"

received=$(sed -n 's/^k5sim <- //p' "$work/log" | tr '\n' ' ')
expected="G00 I01 G00 I01 DF I02 I06 I10 I03 G00 I12 G00 I09 G00 I14"
for ch in 1 2 3 4; do expected+=" G$ch I20 I21 I22 I23 I24 I25 I09"; done
expected+=" G00 I21 G00 I22 G00 I23 G00 I24 G00 I12 G00 I01 G00 I01 D1 G00 I51"
if [[ "$received" != "$expected "* ]]; then
  echo "unexpected lines at the unit:"
  echo "  got:      $received"
  echo "  expected: $expected"
  exit 1
fi
[ "$(stat -c %s "$work/shot.png")" -gt 10000 ] || { echo "no screenshot"; exit 1; }
echo "upload complete: $(echo "$expected" | wc -w) lines"

#!/usr/bin/env bash
# Inside an X server: start VIREO, press Setting and OK like a person would, answer the
# extension question, wait for the Upload to finish, take a screenshot, end the program.
# Usage: demo.sh VIREO_BINARY K5SIM_LOG SCREENSHOT [LINE_THAT_ENDS_THE_UPLOAD]
set -euo pipefail
vireo=$1 simlog=$2 shot=$3 last=${4:-I51}

"$vireo" &
pid=$!
trap 'kill "$pid" 2>/dev/null || true' EXIT

window() { timeout 20 xdotool search --sync --onlyvisible --name "$1" | head -n 1; }
press() { # window title, key
  local id
  id=$(window "$1")
  xdotool windowfocus --sync "$id" 2>/dev/null || true
  sleep 0.3
  xdotool key "$2"
}

window '^VIREO$' >/dev/null
sleep 1
press '^VIREO$' space                 # Setting has the focus at start
press '^Com Setting$' Return          # OK
# The extension question comes only when the unit has an extension module.
for _ in $(seq 30); do
  if xdotool search --onlyvisible --name '^Extension module type$' >/dev/null 2>&1; then
    press '^Extension module type$' Return
    break
  fi
  grep -q "<- $last\$" "$simlog" && break
  sleep 0.2
done
for _ in $(seq 100); do grep -q "<- $last\$" "$simlog" && break; sleep 0.1; done
sleep 1
import -window root "$shot"
kill "$pid" 2>/dev/null || true

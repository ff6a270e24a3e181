#!/usr/bin/env bash
# Inside an X server: start VIREO, press Setting and OK like a person would, answer the
# extension question, wait for the Upload to finish, take a screenshot, end the program.
# Usage: demo.sh VIREO_BINARY K5SIM_LOG SCREENSHOT [LINE_THAT_ENDS_THE_UPLOAD]
set -euo pipefail
vireo=$1 simlog=$2 shot=$3 last=${4:-I51}

"$vireo" &
pid=$!
trap 'kill "$pid" 2>/dev/null || true' EXIT

# shellcheck source=person.sh
source "$(dirname "$0")/person.sh"

window '^VIREO$' >/dev/null
sleep 1
connect_as_person grep -q "<- $last\$" "$simlog"
for _ in $(seq 100); do grep -q "<- $last\$" "$simlog" && break; sleep 0.1; done
sleep 1
import -window root "$shot"
kill "$pid" 2>/dev/null || true

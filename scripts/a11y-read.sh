#!/usr/bin/env bash
# How long a screen reader takes to read the main window's buttons (name, role, state) through the
# accessibility bus while VIREO monitors an instant unit, and what it hears of the labels. Runs
# its own X server, session bus and accessibility bus.   a11y-read.sh [BUILD_DIR]
# Needs at-spi2-core, python3-pyatspi and dbus (Debian packages).
set -euo pipefail
cd "$(dirname "$0")/.."
B=$(cd "${1:-build}" && pwd)
if [ -z "${A11Y_INNER:-}" ]; then
  A11Y_INNER=1 exec xvfb-run -a -s "-screen 0 1280x800x24" dbus-run-session -- "$0" "$B"
fi
work=$(mktemp -d); pids=()
trap 'kill "${pids[@]}" 2>/dev/null || true; rm -rf "$work"' EXIT
/usr/libexec/at-spi-bus-launcher --launch-immediately & pids+=($!)
sleep 1
# shellcheck source=person.sh
source scripts/person.sh
"$B/k5sim" --model K5A-QB4 --log >"$work/sim.out" 2>"$work/sim.log" & pids+=($!)
for _ in $(seq 50); do grep -q '^VIREO_COM1=' "$work/sim.out" && break; sleep 0.1; done
QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 QT_ACCESSIBILITY=1 VIREO_COM1=$(sed -n 's/^VIREO_COM1=//p' "$work/sim.out") \
  "$B/vireo" & pids+=($!)
window '^VIREO$' >/dev/null; sleep 1
press '^VIREO$' space; press '^Com Setting$' Return; press '^Extension module type$' Return
for _ in $(seq 200); do grep -q '<- I51$' "$work/sim.log" && break; sleep 0.05; done
sleep 1
# Start: the monitoring runs from here on.
xdotool mousemove 738 345 click 1; sleep 1
/usr/bin/python3 - <<'PY'
import time, pyatspi
desktop = pyatspi.Registry.getDesktop(0)
names = [a.name for a in desktop if a]
print('applications:', names)
app = next(a for a in desktop if a and a.name.lower().startswith('vireo'))
win = next(w for w in app if w and w.name.startswith('VIREO'))
t = time.time()
buttons = []
def walk(n, depth=0):
    for c in n:
        if c is None: continue
        if c.getRoleName() == 'push button':
            buttons.append((c.name, c.getState().contains(pyatspi.STATE_ENABLED)))
        if depth < 12: walk(c, depth + 1)
walk(win)
print('read %d buttons in %.2f s while monitoring' % (len(buttons), time.time() - t))
print(' '.join('%s:%s' % (n, 'on' if e else 'off') for n, e in buttons[:12]))
PY

#!/usr/bin/env bash
# End to end: the real program under an X server, with the real file dialogs driven by keys.
# File / Open loads a configuration written by hand (no unit connected), File / Save writes it
# out again under another name through the dialog, which must offer the name chosen last; the
# two files must be the same bytes. A second Save onto that name must ask before replacing it.
# Usage: e2e_config.sh VIREO_BINARY [SCREENSHOT_FOLDER]   (run it inside xvfb-run)
set -euo pipefail
vireo=$1 shots=${2:-}
unset QT_QPA_PLATFORM
work=$(mktemp -d)
trap 'kill "$pid" 2>/dev/null || true; rm -rf "$work"' EXIT

# An Ethernet unit of the 1.x series with a 4-channel input: the gateway line is there.
printf '%s\r\n' '"K5N-QB4",0,"Version : 1.02",4,4' '8,3,-1,11' '#TRUE#,#FALSE#' \
  '"-100","10000","0.00","1.0000","-10.000","10.000"' '"0","2000","1.5","a, b","-5.000","5.000"' \
  '"0","10000","0.00","1.0000","-10.000","10.000"' '"-32000","32000","-320","-3.2","0.000","20.000"' \
  '30' '10,0,168,192' '0,255,255,255' '1,0,168,192' '501,50000,503,504' '50,51,52,53' >"$work/unit.uJx"

shot() { [ -n "$shots" ] && import -window root "$shots/$1" || true; }
window() { # a visible window of that name; searching can trip over a menu that just closed, so retry
  local id=
  for _ in $(seq 100); do
    id=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n 1 || true)
    [ -n "$id" ] && break
    sleep 0.2
  done
  [ -n "$id" ] || { echo "no window $1" >&2; exit 1; }
  echo "$id"
}
menu() { # File menu, then the n-th entry
  xdotool mousemove --window "$main" 20 10 click 1
  sleep 0.5
  for _ in $(seq "$1"); do xdotool key Down; done
  xdotool key Return
}
type_name() { # into the dialog's file name box, replacing what it offers
  xdotool key ctrl+a
  xdotool type --delay 20 "$1"
  sleep 0.3
}

cd "$work"
"$vireo" &
pid=$!
main=$(window '^VIREO$')
sleep 1

menu 1
window '^Open$' >/dev/null
sleep 0.5
shot open-dialog.png
type_name "$work/unit.uJx"
xdotool key Return
sleep 1
shot page-loaded.png

menu 2
window '^Save As$' >/dev/null
sleep 0.5
shot save-dialog.png # it offers the name chosen last
type_name "$work/copy.uJx"
xdotool key Return
for _ in $(seq 50); do [ -s "$work/copy.uJx" ] && break; sleep 0.1; done
cmp "$work/unit.uJx" "$work/copy.uJx" || { echo "the saved file differs from the loaded one"; exit 1; }

# Saving onto an existing file asks first; No keeps it as it was.
printf 'old\r\n' >"$work/copy.uJx"
menu 2
window '^Save As$' >/dev/null
sleep 0.5
type_name "$work/copy.uJx"
xdotool key Return
sleep 1
shot overwrite-question.png
xdotool key Escape # the question: No
sleep 0.5
xdotool key Escape # the dialog: Cancel
sleep 0.5
[ "$(cat "$work/copy.uJx")" = $'old\r' ] || { echo "the file was replaced without asking"; exit 1; }
kill -0 "$pid" || { echo "the program ended"; exit 1; }
echo "open and save through the file dialogs: $(wc -c <"$work/unit.uJx") bytes, same file"

# Shell functions that act as a person at VIREO's windows; sourced by the scripts that drive the
# real program under an X server (xdotool).

# A search fails as a whole when it meets a window that goes away meanwhile (BadWindow), as
# windows do while a program starts: look again.
window() {
  local id
  for _ in 1 2 3 4 5; do
    id=$(timeout 20 xdotool search --sync --onlyvisible --name "$1" 2>/dev/null | head -n 1) || true
    [ -n "$id" ] && { echo "$id"; return 0; }
    sleep 0.2
  done
  return 1
}

press() { # window title, key
  local id
  id=$(window "$1")
  xdotool windowfocus --sync "$id" 2>/dev/null || true
  sleep 0.3
  xdotool key "$2"
}

# Setting (it has the focus at start), OK, and the 16-point module when the extension question
# comes. The question comes only when the unit has an extension module: stop looking for it once
# the command given succeeds (the Upload is over).
connect_as_person() {
  press '^VIREO$' space
  press '^Com Setting$' Return
  for _ in $(seq 30); do
    if xdotool search --onlyvisible --name '^Extension module type$' >/dev/null 2>&1; then
      press '^Extension module type$' Return
      break
    fi
    "$@" && break
    sleep 0.2
  done
}

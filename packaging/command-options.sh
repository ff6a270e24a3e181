#!/bin/sh
# The options of each command, from the program's own help, as a section of its manual page.
#   command-options.sh VIREO_CLI > commands.h2m
set -e
echo "[command options]"
for c in identify upload download compare monitor scan; do
  echo ".SS $c"
  echo ".nf"
  QT_QPA_PLATFORM=offscreen "$1" "$c" --help | sed -n '/^Options:/,/^Exit status/p' | sed '$d' | sed 's/\\/\\\\/g; s/^\./\\\&./'
  echo ".fi"
done

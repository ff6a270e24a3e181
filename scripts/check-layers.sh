#!/usr/bin/env bash
# The layers: each folder may include only itself and the folders below it.
#   link/ < core/ < pages/ < netpages/ < config/ < tools/ < cli/ < app/
# (the libraries: link, core, pages with netpages and config, app with tools). sim/ stands on
# link/ alone. Prints every include that reaches up, and fails if there is one.
set -euo pipefail
cd "$(dirname "$0")/.."
declare -A rank=([link]=1 [core]=2 [pages]=3 [netpages]=4 [config]=5 [tools]=6 [cli]=7 [app]=8)
bad=0
for dir in link core pages netpages config app tools cli sim; do
  [ -d "$dir" ] || continue
  while IFS=: read -r file line text; do
    target=$(sed -E 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*"([a-z]+)\/.*/\1/' <<<"$text")
    [ "$target" = "$text" ] && continue # not one of ours
    if [ "$dir" = sim ]; then
      ok=$([[ $target = link || $target = sim ]] && echo 1 || echo 0)
    else
      [ -n "${rank[$target]:-}" ] || continue
      ok=$(( rank[$target] <= rank[$dir] ))
    fi
    if [ "$ok" != 1 ]; then
      echo "$file:$line: $dir/ reaches up to $target/: $text"
      bad=1
    fi
  done < <(grep -n -E '^[[:space:]]*#[[:space:]]*include[[:space:]]*"' "$dir"/*.cpp "$dir"/*.h 2>/dev/null || true)
done
# Widgets, Charts and the rest of the window system stay out of the two lowest layers.
if grep -n -E '#include <(QtWidgets/|QtCharts/)?Q(Widget|Dialog|Label|PushButton|AbstractButton|Chart|Application|MainWindow|LineEdit|ComboBox)\b' link/*.[ch]* core/*.[ch]* sim/*.[ch]* 2>/dev/null; then
  echo "a window class in link/, core/ or sim/"
  bad=1
fi
[ "$bad" = 0 ] && echo "layers: no include reaches up"
exit "$bad"

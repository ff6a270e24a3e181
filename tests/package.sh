#!/usr/bin/env bash
# Builds the Debian package, unpacks it, checks its files and dependencies, and starts the
# unpacked program headless.   package.sh BUILD_DIR
set -euo pipefail
build=$(cd "$1" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

cpack -G DEB -B "$work/out" --config "$build/CPackConfig.cmake" >"$work/cpack.log" 2>&1 || {
  cat "$work/cpack.log" >&2; fail "cpack failed"; }
debs=("$work"/out/vireo_*.deb)
[ ${#debs[@]} -eq 1 ] && [ -f "${debs[0]}" ] || fail "expected one vireo_*.deb, got: ${debs[*]}"
deb=${debs[0]}
echo "built $(basename "$deb")"

# Exactly these files (folders aside).
files=$(dpkg-deb -c "$deb" | awk '$1 !~ /^d/ {print $6}' | sort)
expected=$(printf '%s\n' ./usr/bin/k5sim ./usr/bin/vireo ./usr/bin/vireo-cli ./usr/share/applications/vireo.desktop \
  ./usr/share/icons/hicolor/256x256/apps/vireo.png ./usr/share/icons/hicolor/scalable/apps/vireo.svg \
  ./usr/share/bash-completion/completions/vireo-cli ./usr/share/man/man1/vireo-cli.1.gz | sort)
[ "$files" = "$expected" ] || fail "file list differs:"$'\n'"$files"

depends=$(dpkg-deb -f "$deb" Depends)
echo "Depends: $depends"
names=" $(sed -E 's/ \([^)]*\)//g; s/,//g' <<<"$depends") "
# Every library the programs link comes from a package named there; the Qt platform plugins too.
paths=()
for exe in "$build/vireo" "$build/vireo-cli" "$build/k5sim"; do
  for lib in $(objdump -p "$exe" | awk '/NEEDED/ {print $2}'); do
    path=$(ldd "$exe" | awk -v l="$lib" '$1 == l {print $3}')
    [ -n "$path" ] || fail "$lib of $exe not found"
    paths+=("$path")
  done
done
mapfile -t paths < <(printf '%s\n' "${paths[@]}" | sort -u)
# One dpkg -S for all (each call reads every file list); merged /usr: a library may be listed under /lib.
owners=$(dpkg -S "${paths[@]}" "${paths[@]/#\/usr/}" "${paths[@]/#\/lib//usr/lib}" 2>/dev/null || true)
needed=(qt6-qpa-plugins)
for path in "${paths[@]}"; do
  pkg=$(awk -v p="$path" -v q="${path#/usr}" -v r="/usr$path" -F': ' '$2 == p || $2 == q || $2 == r {print $1; exit}' <<<"$owners")
  [ -n "$pkg" ] || fail "no package holds $path"
  needed+=("${pkg%%:*}")
done
for p in $(printf '%s\n' "${needed[@]}" | sort -u); do
  [[ $names == *" $p "* ]] || fail "Depends lacks $p"
done
# Captured first: grep -q leaving early would break the pipe under pipefail.
description=$(dpkg-deb -f "$deb" Description)
[[ $description == *dialout* ]] || fail "the description does not mention the dialout group"
[ "$(dpkg-deb -f "$deb" Package)" = vireo ] || fail "package name"

dpkg-deb -x "$deb" "$work/root"
bin=$work/root/usr/bin
if command -v desktop-file-validate >/dev/null; then
  desktop-file-validate "$work/root/usr/share/applications/vireo.desktop"
fi
version=$("$bin/vireo" --version)
[[ $version =~ ^VIREO\ [0-9.]+,\ Qt\ 6\. ]] || fail "vireo --version printed \"$version\""
help=$("$bin/k5sim" --help)
[[ $help == *"Simulated K5"* ]] || fail "k5sim --help"
help=$("$bin/vireo-cli" --help)
[[ $help == *"Exit status"* ]] || fail "vireo-cli --help"
# The manual page reads as one, with the exit table of --help; the completion completes.
manual=$(zcat "$work/root/usr/share/man/man1/vireo-cli.1.gz")
[[ $manual == *".TH VIREO-CLI"* && $manual == *"Exit status"* ]] || fail "the manual page of vireo-cli"
completion=$(bash -c 'source "$1"; COMP_WORDS=(vireo-cli down); COMP_CWORD=1; _vireo_cli; echo "${COMPREPLY[*]}"' _ \
  "$work/root/usr/share/bash-completion/completions/vireo-cli")
[ "$completion" = download ] || fail "bash completion of vireo-cli gave \"$completion\""

# The unpacked program runs headless until it is stopped.
set +e
QT_QPA_PLATFORM=offscreen timeout 2 "$bin/vireo" 2>"$work/vireo.err"
rc=$?
set -e
[ $rc -eq 124 ] || { cat "$work/vireo.err" >&2; fail "vireo ended by itself with $rc instead of running"; }
errors=$(grep -Ev 'XDG_RUNTIME_DIR|propagateSizeHints' "$work/vireo.err" || true)
[ -z "$errors" ] || fail "vireo wrote errors: $errors"
echo "package ok: $version"

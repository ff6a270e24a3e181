#!/usr/bin/env bash
# Runs one libFuzzer target for a given number of seconds: scripts/fuzz.sh <name> <seconds>
# Builds with clang into build-fuzz; new corpus entries go to fuzz/corpus/<name>,
# crashes and hangs to fuzz/crashes/<name> (commit them: the normal suite replays them).
set -euo pipefail
cd "$(dirname "$0")/.."
name=${1:?target name}
seconds=${2:-60}
B=${FUZZ_BUILD_DIR:-build-fuzz}
cmake -S . -B "$B" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
  -DVIREO_FUZZ=ON -DVIREO_SANITIZE=ON ${CMAKE_EXTRA:-} >/dev/null
cmake --build "$B" -j "$(nproc)" --target "fuzz_$name"
mkdir -p "fuzz/corpus/$name" "fuzz/crashes/$name"
export QT_QPA_PLATFORM=offscreen
"$B/fuzz/fuzz_$name" -max_total_time="$seconds" -timeout=5 -artifact_prefix="fuzz/crashes/$name/" \
  -print_final_stats=1 "fuzz/corpus/$name" 2>&1 | tail -25

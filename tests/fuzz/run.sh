#!/usr/bin/env bash
# Builds the fuzz target of the reading pass with clang (libFuzzer, AddressSanitizer,
# UndefinedBehaviorSanitizer) in a build tree of its own, from the store library
# as CMake builds it, and runs it. Usage: tests/fuzz/run.sh [seconds]   (default 60)
set -euo pipefail
top=$(cd "$(dirname "$0")/../.." && pwd)
segundos=${1:-60}
out=${FUZZ_DIR:-$top/build-fuzz}
mkdir -p "$out/corpus"
out=$(cd "$out" && pwd) # the target changes its directory before it reads the corpora
cmake -S "$top" -B "$out" -G Ninja -DCMAKE_BUILD_TYPE= -DCMAKE_CXX_FLAGS="-O1 -g" \
  -DCMAKE_CXX_COMPILER=clang++ -DFOLIOTECA_FUZZ=ON ${CMAKE_FLAGS:-} >/dev/null
cmake --build "$out" -j"$(nproc)" --target fuzz_lectura
# New inputs go to the scratch corpus in $out; the seeds in the repository stay as
# they are. A crash, a hang (-timeout) or a blown memory limit ends the run with a
# non-zero status and leaves the input in $out.
exec "$out/tests/fuzz/fuzz_lectura" -max_total_time="$segundos" -timeout=10 -rss_limit_mb=2048 \
  -max_len=16384 -print_final_stats=1 -artifact_prefix="$out/" \
  "$out/corpus" "$top/tests/fuzz/corpus"

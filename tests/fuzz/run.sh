#!/usr/bin/env bash
# Builds the fuzz target of the reading pass with clang (libFuzzer, AddressSanitizer,
# UndefinedBehaviorSanitizer) straight from the store sources, outside the main
# build, and runs it. Usage: tests/fuzz/run.sh [seconds]   (default 60)
set -euo pipefail
top=$(cd "$(dirname "$0")/../.." && pwd)
segundos=${1:-60}
out=${FUZZ_DIR:-$top/build-fuzz}
mkdir -p "$out/corpus"
out=$(cd "$out" && pwd) # the target changes its directory before it reads the corpora
clang++ -std=c++20 -O1 -g -fno-omit-frame-pointer \
  -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=all -I"$top" \
  "$top"/store/ficha.cpp "$top"/store/linea.cpp "$top"/store/lectura.cpp "$top"/store/lector.cpp \
  "$top"/store/estructura.cpp "$top"/store/fuentes.cpp "$top"/store/apertura.cpp "$top"/store/error.cpp \
  "$top"/store/guardar.cpp "$top"/store/catalogo.cpp \
  "$top"/store/archivos.cpp \
  "$top"/tests/store/disco.cpp "$top"/tests/fuzz/fuzz_lectura.cpp -o "$out/fuzz_lectura"
# New inputs go to the scratch corpus in $out; the seeds in the repository stay as
# they are. A crash, a hang (-timeout) or a blown memory limit ends the run with a
# non-zero status and leaves the input in $out.
exec "$out/fuzz_lectura" -max_total_time="$segundos" -timeout=10 -rss_limit_mb=2048 \
  -max_len=16384 -print_final_stats=1 -artifact_prefix="$out/" \
  "$out/corpus" "$top/tests/fuzz/corpus"

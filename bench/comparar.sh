#!/usr/bin/env bash
# The speed comparison: builds in Release (build-release/), generates
# catalogues of 10,000, 100,000 and 1,000,000 cards once (build-release/bench-data),
# warms the file cache, runs the benchmarks and times the tools a user already
# has on the same files in the same run, then prints one table of medians.
#
# Optional: BENCH_N="10000 100000" for other sizes, BENCH_REPS=7 for the
# number of timed runs behind each median, BENCH_10M=1 to add a catalogue of
# 10,000,000 cards (1.5 GB, generated once; the run then takes much longer).
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=$top/build-release
datos=$build/bench-data
tamanos=(${BENCH_N:-10000 100000 1000000})
[ "${BENCH_10M:-0}" = 1 ] && tamanos+=(10000000)
reps=${BENCH_REPS:-7}

"$top/scripts/deps" test
mkdir -p "$build"
if ! BUILD_DIR=$build BUILD_TYPE=Release bash "$top/scripts/build" >"$build/build.log" 2>&1; then
  tail -40 "$build/build.log" >&2
  exit 1
fi
bin=$build/bench
if [ ! -x "$bin/bench_store" ] || [ ! -x "$bin/bench_ventanas" ]; then
  echo "No benchmarks in $bin: is Google Benchmark (libbenchmark-dev) installed?" >&2
  exit 1
fi

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

# The search words of the generated files, Windows-1252 bytes.
declare -A palabra
while IFS=$'\t' read -r campo p; do palabra[$campo]=$p; done < <("$bin/generar_fichas" --palabras)

# Median wall time in ms of $reps runs of a command, after one untimed run.
# Output goes to a file: GNU grep stops at the first match when it writes to /dev/null.
mediana() {
  if command -v hyperfine >/dev/null; then
    local orden="" a
    for a in "$@"; do orden+="'${a//\'/\'\\\'\'}' "; done
    hyperfine --style none --ignore-failure --warmup 1 --runs "$reps" --export-json "$tmp/h.json" \
      "$orden >'$tmp/salida'" >/dev/null 2>&1
    grep -o '"median": *[0-9.eE+-]*' "$tmp/h.json" | head -1 | awk '{printf "%.3f", $2 * 1000}'
    return
  fi
  "$@" >"$tmp/salida" || true
  local i t0 t1
  for ((i = 0; i < reps; i++)); do
    ahora t0
    "$@" >"$tmp/salida" || true
    ahora t1
    echo $((t1 - t0))
  done | sort -n | awk '{t[NR] = $1} END {printf "%.3f", t[int((NR + 1) / 2)] / 1e3}'
}
# Microseconds of wall clock into variable $1; bash 5 reads it without
# starting a process, older shells ask date.
ahora() {
  if [ -n "${EPOCHREALTIME:-}" ]; then
    printf -v "$1" '%s' "${EPOCHREALTIME/[.,]/}"
  else
    printf -v "$1" '%s' $(($(date +%s%N) / 1000))
  fi
}

# A baseline is a whole process; the start of an empty one is taken off so
# that it compares with our timings, which run inside a process already up.
arranque=$(mediana env LC_ALL=C true)
base() {
  local m
  m=$(mediana "$@")
  awk -v m="$m" -v a="$arranque" 'BEGIN {d = m - a; printf "%.3f", (d > 0 ? d : 0)}'
}

python_csv='import csv, sys
n = 0
with open(sys.argv[1], encoding="cp1252", newline="") as f:
    for ficha in csv.reader(f):
        n += 1
print(n)'
hay_python=0
command -v python3 >/dev/null && hay_python=1
hay_sqlite=0
command -v sqlite3 >/dev/null && hay_sqlite=1

# Median in ms of one benchmark, by the name it was registered with, from a JSON report.
nuestra() {
  awk -F'"' -v n="$2/real_time_median" '$2 == "name" {actual = $4}
    $2 == "real_time" && actual == n {sub(/.*: */, ""); sub(/,.*/, ""); printf "%.3f", $0; exit}' "$1"
}

declare -A t # t[op,N] = our median, for the growth section
filas=()
fila() { # operation N ours baseline-name baseline target verdict
  filas+=("$(printf '%-38s %8s %10s   %-22s %10s %8s   %-16s %s' "$1" "$2" "$3" "$4" "$5" \
    "$(awk -v a="$3" -v b="$5" 'BEGIN {if (b > 0) printf "%.2f", a / b; else print "-"}')" \
    "$6" "$7")")
}
# Verdict at one size only: "awk condition on a (ours) and b (baseline)".
juicio() { # N condition ours baseline [size judged, 1000000 unless told]
  [ "$1" = "${5:-1000000}" ] || return 0
  awk -v a="$3" -v b="$4" "BEGIN {print ($2) ? \"yes\" : \"NO\"}"
}

memorias=()
for n in "${tamanos[@]}"; do
  dir=$datos/$n
  if [ ! -s "$dir/fichas.dat" ]; then
    mkdir -p "$dir"
    "$bin/generar_fichas" "$n" "$dir/fichas.nuevo"
    mv "$dir/fichas.nuevo" "$dir/fichas.dat"
  fi
  f=$dir/fichas.dat
  cat "$f" >/dev/null
  cat "$f" >/dev/null

  (cd "$dir" && "$bin/bench_store" --benchmark_repetitions="$reps" \
    --benchmark_report_aggregates_only=true --benchmark_min_time=0.2 \
    --benchmark_out="$tmp/store.json" --benchmark_out_format=json >"$tmp/store.txt" 2>&1)
  (cd "$dir" && QT_QPA_PLATFORM=offscreen "$bin/bench_ventanas" --benchmark_repetitions="$reps" \
    --benchmark_report_aggregates_only=true --benchmark_min_time=0.2 \
    --benchmark_out="$tmp/ventanas.json" --benchmark_out_format=json >"$tmp/ventanas.txt" 2>&1)
  if grep -q "ERROR OCCURRED" "$tmp/store.txt" "$tmp/ventanas.txt"; then
    cat "$tmp/store.txt" "$tmp/ventanas.txt" >&2
    exit 1
  fi

  wc_ms=$(base env LC_ALL=C wc -l "$f")
  py_ms=""
  # Python's csv takes most of a minute a run at 10,000,000 cards: compared up to 1,000,000.
  [ $hay_python = 1 ] && [ "$n" -le 1000000 ] && py_ms=$(base python3 -c "$python_csv" "$f")

  # SQLite as a peer: the same cards imported into a table (timed once),
  # then the full scan a search needs.
  sq_import="" sq_ms="" sq_ninguna=""
  if [ $hay_sqlite = 1 ]; then
    rm -f "$tmp/fichas.db"
    ahora t0
    sqlite3 "$tmp/fichas.db" "CREATE TABLE fichas(numero, titulo, autor, editorial, fecha,
      paginas, copias, codigo, tema, comentario);" ".import --csv '$f' fichas"
    ahora t1
    sq_import=$(awk -v a="$t0" -v b="$t1" 'BEGIN {printf "%.3f", (b - a) / 1e3}')
    consulta="SELECT count(*) FROM fichas WHERE instr(titulo, '${palabra[titulo]}') > 0;"
    sq_ms=$(base sqlite3 "$tmp/fichas.db" "$consulta")
    consulta="SELECT count(*) FROM fichas WHERE instr(titulo, '${palabra[ninguna]}') > 0;"
    sq_ninguna=$(base sqlite3 "$tmp/fichas.db" "$consulta")
  fi

  pase=$(nuestra "$tmp/store.json" pase)
  t[pase,$n]=$pase
  fila "reading pass (LeerFichas)" "$n" "$pase" "wc -l" "$wc_ms" "<= 2x" \
    "$(juicio "$n" "a <= 2 * b" "$pase" "$wc_ms")"
  [ -n "$py_ms" ] && fila "reading pass (LeerFichas)" "$n" "$pase" "python3 csv" "$py_ms" \
    "<= 0.1x" "$(juicio "$n" "a * 10 <= b" "$pase" "$py_ms")"
  [ -n "$sq_import" ] && fila "reading pass (LeerFichas)" "$n" "$pase" "sqlite3 .import" \
    "$sq_import" "" ""
  sig=$(nuestra "$tmp/store.json" siguiente)
  t[siguiente,$n]=$sig
  fila "SiguienteNumero" "$n" "$sig" "wc -l" "$wc_ms" "<= 2x" \
    "$(juicio "$n" "a <= 2 * b" "$sig" "$wc_ms")"
  [ -n "$py_ms" ] && fila "SiguienteNumero" "$n" "$sig" "python3 csv" "$py_ms" "<= 0.1x" \
    "$(juicio "$n" "a * 10 <= b" "$sig" "$py_ms")"

  for campo in titulo autor editorial codigo tema; do
    for cual in decimo ninguna; do
      w=${palabra[$campo]}
      [ $cual = ninguna ] && w=${palabra[ninguna]}
      g=$(base env LC_ALL=C grep -c -F "$w" "$f")
      ours=$(nuestra "$tmp/store.json" "buscar/$campo/$cual")
      t[buscar/$campo/$cual,$n]=$ours
      fila "search $campo, $cual (pass)" "$n" "$ours" "grep -c -F" "$g" "<= 1x" \
        "$(juicio "$n" "a <= b" "$ours" "$g")"
      if [ $campo = titulo ] && [ -n "$sq_ms" ]; then
        s=$sq_ms
        [ $cual = ninguna ] && s=$sq_ninguna
        fila "search $campo, $cual (pass)" "$n" "$ours" "sqlite3 full scan" "$s" "< 1x" \
          "$(juicio "$n" "a < b" "$ours" "$s")"
      fi
      [ $cual = ninguna ] && [ $campo != titulo ] && continue
      clic=$(nuestra "$tmp/ventanas.json" "clic_buscar/$campo/$cual")
      t[clic_buscar/$campo/$cual,$n]=$clic
      fila "BUSCAR click $campo, $cual (rows)" "$n" "$clic" "grep -c -F" "$g" "<= 5x" \
        "$(juicio "$n" "a <= 5 * b" "$clic" "$g")"
    done
  done

  abrir=$(nuestra "$tmp/store.json" abrir_ultima)
  t[abrir,$n]=$abrir
  fila "open last card by number" "$n" "$abrir" "wc -l" "$wc_ms" "<= 5x" \
    "$(juicio "$n" "a <= 5 * b" "$abrir" "$wc_ms")"
  crear=$(nuestra "$tmp/ventanas.json" crear/abrir)
  t[crear,$n]=$crear
  fila "CREAR window opened (next number)" "$n" "$crear" "wc -l" "$wc_ms" "< 500 ms at 10M" \
    "$(juicio "$n" "a < 500" "$crear" "$wc_ms" 10000000)"
  guardar=$(nuestra "$tmp/store.json" guardar)
  t[guardar,$n]=$guardar
  fila "GUARDAR (pass, append, fsync)" "$n" "$guardar" "our reading pass" "$pase" \
    "< 500 ms at 10M" "$(juicio "$n" "a < 500" "$guardar" "$pase" 10000000)"
  carga=$(nuestra "$tmp/ventanas.json" lista/carga)
  t[carga,$n]=$carga
  fila "list window load event" "$n" "$carga" "wc -l" "$wc_ms" "< 600 ms" \
    "$(juicio "$n" "a < 600" "$carga" "$wc_ms")"
  abierta=$(nuestra "$tmp/ventanas.json" lista/abrir)
  t[abierta,$n]=$abierta
  fila "list window loaded, shown, drawn" "$n" "$abierta" "wc -l" "$wc_ms" "< 2000 ms at 10M" \
    "$(juicio "$n" "a < 2000" "$abierta" "$wc_ms" 10000000)"

  lleno=$(cd "$dir" && QT_QPA_PLATFORM=offscreen "$bin/memoria_lista" | awk '{print $2}')
  vacio=$(QT_QPA_PLATFORM=offscreen "$bin/memoria_lista" vacio | awk '{print $2}')
  bytes=$(stat -c %s "$f")
  memorias+=("$(awk -v n="$n" -v l="$lleno" -v v="$vacio" -v b="$bytes" 'BEGIN {
    r = (l - v) * 1024 / b
    printf "peak RSS, list window shown, N=%s: %.1f MB; same window with no file %.1f MB;", n, l / 1024, v / 1024
    printf " above it %.1f MB = %.2f x the file (%.1f MB); target <= 1.2 x", (l - v) / 1024, r, b / 1048576
    if (n >= 1000000) printf ": %s", (r <= 1.2 ? "yes" : "NO")
  }')")
done

echo
echo "FOLIOTECA benchmarks, $(date -u '+%Y-%m-%d %H:%M UTC'), Release build"
echo "machine: $(nproc) CPUs, $(grep -m1 'model name' /proc/cpuinfo | sed 's/.*: //'), $(uname -sr)," \
  "load average $(cut -d' ' -f1-3 /proc/loadavg)"
echo "medians of $reps runs, warm file cache; ratio = ours / baseline; verdicts at N=1000000;" \
  "baselines less $arranque ms, the start of an empty process"
echo "(below 1,000,000 cards a baseline is within the noise of starting a process: its ratio is a hint only)"
echo
printf '%-38s %8s %10s   %-22s %10s %8s   %-16s %s\n' operation N "ours ms" baseline \
  "base ms" ratio target met
printf '%s\n' "${filas[@]}"
echo
printf '%s\n' "${memorias[@]}"

# Time per card from one size to ten times it: linear growth keeps it flat.
crecimiento() { # smaller larger target
  [ -n "${t[pase,$1]:-}" ] && [ -n "${t[pase,$2]:-}" ] || return 0
  echo
  echo "growth of the time per card from $1 to $2 cards (target within $3 x)"
  for op in pase siguiente buscar/titulo/decimo buscar/tema/ninguna clic_buscar/titulo/decimo \
    abrir crear guardar carga abierta; do
    [ -n "${t[$op,$1]:-}" ] && [ -n "${t[$op,$2]:-}" ] || continue
    awk -v op="$op" -v a="${t[$op,$1]}" -v b="${t[$op,$2]}" -v n1="$1" -v n2="$2" -v m="$3" 'BEGIN {
      g = (b / n2) / (a / n1)
      printf "%-28s %8.0f ns/card at %-8s %8.0f ns/card at %-8s growth %.2f x  %s\n", op,
        a * 1e6 / n1, n1, b * 1e6 / n2, n2, g, (g <= m ? "yes" : "NO")
    }'
  done
}
crecimiento 100000 1000000 1.3
crecimiento 1000000 10000000 1.2

#!/usr/bin/env bash
# Converts the same small presentations to PDF side by side, on 50 and on 200 files:
#   1. our folder task (the quorvane command line) with pools of 1, 4 and 8 office workers
#      (QV_OFFICE_WORKERS),
#   2. one `soffice --headless --convert-to pdf` call for all files,
#   3. one `soffice --headless --convert-to pdf` per file;
# each in ROUNDS alternating rounds (default 3), medians compared. During the pools' runs on the
# larger folder the workers' resident memory (sum of RSS, and of PSS, which counts shared pages
# once) is sampled. Last, one small file through the command line against one soffice call, each
# on a fresh home and profile: the first run alone, then the median of the runs after it.
# Usage: bench/convert_bench.sh [build folder]   (default: build)
# ROUNDS=N, COUNTS="50 200" and POOLS="1 4 8" in the environment change the rounds, folder sizes
# and pools; RSS_GROWTH=1 adds one worker's memory over 500 conversions; PERFILE=0 leaves out the
# soffice-per-file way (about a second a file).
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/.." && pwd)"
BUILD="$(cd "${1:-$ROOT/build}" && pwd)"
Q="$BUILD/bin/quorvane"
BENCH="$BUILD/bin/quorvane-convert-bench"
[ -x "$Q" ] && [ -x "$BENCH" ] || cmake --build "$BUILD" --target quorvane quorvane-convert-bench quorvane-office
ROUNDS="${ROUNDS:-3}"
COUNTS="${COUNTS:-50 200}"
PERFILE="${PERFILE:-1}"
POOLS="${POOLS:-1 4 8}"
MAX=0
MAXPOOL=0
for p in $POOLS; do [ "$p" -gt "$MAXPOOL" ] && MAXPOOL=$p; done
for c in $COUNTS; do [ "$c" -gt "$MAX" ] && MAX=$c; done
WORK="$(mktemp -d /tmp/quorvane-bench-XXXXXX)"
trap 'rm -rf "$WORK"' EXIT
# Private home, profiles and caches: the benchmark never touches the user's own.
export HOME="$WORK/home" XDG_CONFIG_HOME="$WORK/home/.config" XDG_DATA_HOME="$WORK/home/.local/share"
export XDG_CACHE_HOME="$WORK/cache"
mkdir -p "$HOME"
unset DISPLAY WAYLAND_DISPLAY
SOFFICE=(soffice -env:UserInstallation="file://$WORK/soffice-profile" --headless --convert-to pdf)

ms() { date +%s%3N; }
median() { printf '%s\n' "$@" | sort -n | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : int((v[NR / 2] + v[NR / 2 + 1]) / 2) }'; }

echo "Generating $MAX presentations ..."
mkdir -p "$WORK/src" "$WORK/all"
for i in $(seq -w 1 "$MAX"); do
  sed -e "s/Quarterly Review/Quarterly Review $i/" -e "s/Next Steps/Next Steps for team $i/" \
    "$ROOT/tests/data/quarterly-review.fodp" > "$WORK/src/deck-$i.fodp"
done
"$BENCH" --type 24 --out "$WORK/all" "$WORK"/src/*.fodp > /dev/null
ALL=("$WORK/all"/*.pptx)
for c in $COUNTS; do
  mkdir -p "$WORK/decks$c"
  cp "${ALL[@]:0:$c}" "$WORK/decks$c/"
done

# First starts build the profiles (soffice's and one per worker of the largest pool); do that
# before timing the folders. The single file below has homes of its own.
"${SOFFICE[@]}" --outdir "$WORK/warm" "$WORK/decks${COUNTS%% *}/"*.pptx > /dev/null 2>&1
QV_OFFICE_WORKERS=$MAXPOOL "$Q" /S "$WORK/all/*.pptx" /T "$WORK/warm/*.pdf" /C 32 /L "$WORK/warm.log" > /dev/null 2>&1 || true

# Resident memory of the office workers of process $1, sampled until it ends: the peaks of
# the sum of RSS and of PSS, in MB, written to $2.
sample_memory() {
  local parent=$1 file=$2 rss pss peak_rss=0 peak_pss=0
  while kill -0 "$parent" 2> /dev/null; do
    rss=0; pss=0
    for p in $(pgrep -P "$parent" -x quorvane-office || true); do
      read -r r s < <(awk '/^Rss:/ { r = $2 } /^Pss:/ { s = $2 } END { print r + 0, s + 0 }' "/proc/$p/smaps_rollup" 2> /dev/null || echo "0 0")
      rss=$((rss + r)); pss=$((pss + s))
    done
    [ "$rss" -gt "$peak_rss" ] && peak_rss=$rss
    [ "$pss" -gt "$peak_pss" ] && peak_pss=$pss
    sleep 0.05
  done
  echo "$((peak_rss / 1024)) $((peak_pss / 1024))" > "$file"
}

run_ours() { # workers count out [memory file]
  local workers=$1 c=$2 out=$3 mem=${4:-}
  rm -rf "$out"; mkdir -p "$out"
  local t0 t1 pid
  t0=$(ms)
  QV_OFFICE_WORKERS=$workers "$Q" /S "$WORK/decks$c/*.pptx" /T "$out/*.pdf" /C 32 /L "$out.log" > /dev/null 2>&1 &
  pid=$!
  [ -n "$mem" ] && sample_memory "$pid" "$mem" &
  wait "$pid" || echo "warning: the folder task reported failures ($out.log)" >&2
  t1=$(ms)
  wait
  echo $((t1 - t0))
}

declare -A RESULT
for c in $COUNTS; do
  declare -A times=()
  batched=(); perfile=()
  for round in $(seq 1 "$ROUNDS"); do
    echo "$c files, round $round/$ROUNDS ..."
    ways=""
    for p in $POOLS; do
      mem=""
      [ "$c" = "$MAX" ] && mem="$WORK/mem-$p-$round"
      times[$p]="${times[$p]:-} $(run_ours "$p" "$c" "$WORK/out-pool$p" "$mem")"
      ways="$ways out-pool$p"
    done
    rm -rf "$WORK/out-batched"; t0=$(ms)
    "${SOFFICE[@]}" --outdir "$WORK/out-batched" "$WORK/decks$c/"*.pptx > /dev/null 2>&1
    t1=$(ms); batched+=($((t1 - t0)))
    ways="$ways out-batched"
    if [ "$PERFILE" != 0 ]; then
      rm -rf "$WORK/out-perfile"; t0=$(ms)
      for f in "$WORK/decks$c/"*.pptx; do
        "${SOFFICE[@]}" --outdir "$WORK/out-perfile" "$f" > /dev/null 2>&1
      done
      t1=$(ms); perfile+=($((t1 - t0)))
      ways="$ways out-perfile"
    else
      perfile+=(0)
    fi
    for d in $ways; do
      n=$(ls "$WORK/$d"/*.pdf 2> /dev/null | wc -l)
      [ "$n" -eq "$c" ] || echo "warning: $d holds $n PDFs, not $c" >&2
      n=$(ls -A "$WORK/$d" | grep -c '^\.' || true)
      [ "$n" -eq 0 ] || echo "warning: $d holds $n hidden files" >&2
    done
  done
  line="  "
  RESULT[$c]=""
  for p in $POOLS; do
    # shellcheck disable=SC2086
    line="$line pool of $p:${times[$p]} ms;"
    RESULT[$c]="${RESULT[$c]} $(median ${times[$p]})"
  done
  echo "$line batched soffice: ${batched[*]} ms; soffice per file: ${perfile[*]} ms"
  RESULT[$c]="${RESULT[$c]} $(median "${batched[@]}") $(median "${perfile[@]}")"
  unset times
done

echo
header=$(printf '%-6s' files)
for p in $POOLS; do header="$header$(printf ' %16s' "pool of $p")"; done
printf '%s %16s %16s %10s\n' "$header" "batched soffice" "soffice/file" "batch/best"
for c in $COUNTS; do
  # shellcheck disable=SC2086
  set -- ${RESULT[$c]}
  printf '%-6d' "$c"
  best=0
  for p in $POOLS; do
    printf ' %10d ms %3d' "$1" $(($1 / c))
    { [ "$best" -eq 0 ] || [ "$1" -lt "$best" ]; } && best=$1
    shift
  done
  awk -v c="$c" -v s="$1" -v f="$2" -v b="$best" 'BEGIN {
    printf " %10d ms %3.0f %10d ms %3.0f %9.2fx\n", s, s / c, f, f / c, s / b }'
done
echo "(medians of $ROUNDS alternating rounds; after each time the milliseconds per file)"
set -- $POOLS
if [ "$#" -ge 2 ]; then
  for c in $COUNTS; do
    # shellcheck disable=SC2086
    read -r -a med <<< "${RESULT[$c]}"
    awk -v c="$c" -v pa="${@: -2:1}" -v pb="${@: -1}" -v a="${med[$#-2]}" -v b="${med[$#-1]}" 'BEGIN {
      printf "%d files: pool of %d takes %.2f times as long as pool of %d (%s)\n", c, pb, b / a, pa,
        b <= a * 1.05 ? "not slower" : "SLOWER" }'
  done
fi
for p in $POOLS; do
  if ls "$WORK"/mem-"$p"-* > /dev/null 2>&1; then
    peak_rss=$(cat "$WORK"/mem-"$p"-* | awk '{ print $1 }' | sort -n | tail -1)
    peak_pss=$(cat "$WORK"/mem-"$p"-* | awk '{ print $2 }' | sort -n | tail -1)
    echo "pool of $p, workers' peak resident memory over $MAX files: RSS sum $peak_rss MB, PSS sum $peak_pss MB"
  fi
done

# One small file on a home of its own that nothing has used: its first run builds the worker's
# profile, and the runs after it are what a user starting the program for one file sees.
echo
echo "One small file, command line against one soffice call, each on a fresh home (1 + 5 runs):"
first="${ALL[0]}"
FRESH="$WORK/fresh"
mkdir -p "$FRESH/home"
single=(); soff=()
for round in 0 1 2 3 4 5; do
  rm -f "$WORK/one.pdf"; t0=$(ms)
  HOME="$FRESH/home" XDG_CONFIG_HOME="$FRESH/home/.config" XDG_DATA_HOME="$FRESH/home/.local/share" \
    XDG_CACHE_HOME="$FRESH/home/.cache" "$Q" /S "$first" /T "$WORK/one.pdf" /C 32 > /dev/null 2>&1 \
    || echo "warning: the single file failed" >&2
  t1=$(ms); single+=($((t1 - t0)))
  rm -rf "$WORK/one-soffice"; t0=$(ms)
  soffice -env:UserInstallation="file://$FRESH/soffice-profile" --headless --convert-to pdf \
    --outdir "$WORK/one-soffice" "$first" > /dev/null 2>&1
  t1=$(ms); soff+=($((t1 - t0)))
done
a=$(median "${single[@]:1}"); s=$(median "${soff[@]:1}")
echo "  command line: ${single[*]} ms; soffice: ${soff[*]} ms"
echo "  first run on the fresh home: command line ${single[0]} ms, soffice ${soff[0]} ms"
awk -v a="$a" -v s="$s" 'BEGIN { printf "  later runs, medians: command line %d ms, soffice %d ms, ratio %.2f (target <= 0.6)\n", a, s, a / s }'

# On request: one worker's resident memory over 500 conversions, without a limit and with the
# worker replaced past 230 MB.
if [ -n "${RSS_GROWTH:-}" ]; then
  echo
  mkdir -p "$WORK/rss"
  echo "One worker's memory over 500 conversions in speed mode, without a memory limit:"
  QV_WORKER_MEMORY_LIMIT_MB=100000 "$BENCH" --type 32 --out "$WORK/rss" --repeat 10 --rss-every 50 "${ALL[@]:0:50}"
  echo "The same with the worker replaced past 230 MB:"
  QV_WORKER_MEMORY_LIMIT_MB=230 "$BENCH" --type 32 --out "$WORK/rss" --repeat 10 --rss-every 50 "${ALL[@]:0:50}"
fi

#!/usr/bin/env bash
# Converts the same 50 small presentations to PDF three ways, side by side:
#   1. through our conversion control (one kept office worker),
#   2. one `soffice --headless --convert-to pdf` per file,
#   3. one `soffice --headless --convert-to pdf` call for all 50 files;
# prints the times and the ratios, then the worker's resident memory over 500 conversions.
# Usage: bench/convert_bench.sh [build folder]   (default: build)
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/.." && pwd)"
BUILD="$(cd "${1:-$ROOT/build}" && pwd)"
BENCH="$BUILD/bin/quorvane-convert-bench"
[ -x "$BENCH" ] || cmake --build "$BUILD" --target quorvane-convert-bench quorvane-office
COUNT=50
WORK="$(mktemp -d /tmp/quorvane-bench-XXXXXX)"
trap 'rm -rf "$WORK"' EXIT
# Private profiles and caches: the benchmark never touches the user's own.
export XDG_CACHE_HOME="$WORK/cache"
SOFFICE_PROFILE="file://$WORK/soffice-profile"

ms() { date +%s%3N; }

echo "Generating $COUNT presentations in $WORK/decks ..."
mkdir -p "$WORK/src" "$WORK/decks" "$WORK/out1" "$WORK/out2" "$WORK/out3" "$WORK/rss"
for i in $(seq -w 1 $COUNT); do
  sed -e "s/Quarterly Review/Quarterly Review $i/" -e "s/Next Steps/Next Steps for team $i/" \
    "$ROOT/tests/data/quarterly-review.fodp" > "$WORK/src/deck-$i.fodp"
done
"$BENCH" --type 24 --out "$WORK/decks" "$WORK"/src/*.fodp > /dev/null

# soffice's first start with a new profile builds the profile; do that before timing it.
soffice -env:UserInstallation="$SOFFICE_PROFILE" --headless --convert-to pdf --outdir "$WORK/warm" \
  "$WORK/decks/deck-01.pptx" > /dev/null 2>&1

# The control and the batched call are close; run them in turns three times and take the
# median of each, so that a busy machine does not decide the ratio.
median() { printf '%s\n' "$@" | sort -n | sed -n 2p; }
ours_runs=(); batched_runs=()
for round in 1 2 3; do
  echo "round $round: 1. conversion control (one worker, started inside the timing)"
  rm -f "$WORK"/out1/*.pdf
  t0=$(ms); "$BENCH" --type 32 --out "$WORK/out1" "$WORK"/decks/*.pptx; t1=$(ms)
  ours_runs+=($((t1 - t0)))
  echo "round $round: 3. one soffice call for all files"
  rm -f "$WORK"/out3/*.pdf
  t0=$(ms)
  soffice -env:UserInstallation="$SOFFICE_PROFILE" --headless --convert-to pdf --outdir "$WORK/out3" "$WORK"/decks/*.pptx > /dev/null 2>&1
  t1=$(ms); batched_runs+=($((t1 - t0)))
done
ours=$(median "${ours_runs[@]}")
batched=$(median "${batched_runs[@]}")
echo "control runs: ${ours_runs[*]} ms; batched soffice runs: ${batched_runs[*]} ms"

echo "2. one soffice per file"
t0=$(ms)
for f in "$WORK"/decks/*.pptx; do
  soffice -env:UserInstallation="$SOFFICE_PROFILE" --headless --convert-to pdf --outdir "$WORK/out2" "$f" > /dev/null 2>&1
done
t1=$(ms); perfile=$((t1 - t0))

for d in out1 out2 out3; do
  n=$(ls "$WORK/$d"/*.pdf 2>/dev/null | wc -l)
  [ "$n" -eq "$COUNT" ] || echo "warning: $d holds $n PDFs, not $COUNT"
done

echo
awk -v n="$COUNT" -v a="$ours" -v b="$perfile" -v c="$batched" 'BEGIN {
  printf "%-34s %8d ms  (%6.1f ms/file)\n", "conversion control (median)", a, a / n
  printf "%-34s %8d ms  (%6.1f ms/file)\n", "one soffice per file", b, b / n
  printf "%-34s %8d ms  (%6.1f ms/file)\n", "one batched soffice call (median)", c, c / n
  printf "ratio soffice-per-file / control : %6.1fx  (target >= 10x)\n", b / a
  printf "ratio batched soffice / control  : %6.2fx  (target >= 1x)\n", c / a
}'
echo
echo "Worker memory over 500 conversions in speed mode, without a memory limit:"
QV_WORKER_MEMORY_LIMIT_MB=100000 "$BENCH" --type 32 --out "$WORK/rss" --repeat 10 --rss-every 50 "$WORK"/decks/*.pptx
echo
echo "The same with the worker replaced past 230 MB (the default limit is 1024 MB):"
QV_WORKER_MEMORY_LIMIT_MB=230 "$BENCH" --type 32 --out "$WORK/rss" --repeat 10 --rss-every 50 "$WORK"/decks/*.pptx

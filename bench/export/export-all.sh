#!/usr/bin/env bash
# Times `lumetra --export-all` of a generated model with many diagrams
# beside one `lumetra --export` of its largest diagram, each run a whole
# process, the two alternating run by run:
#
#   bench/export/export-all.sh [-b BUILD_DIR] [-r RUNS] [-s WIDTHxHEIGHT] [CLASSES DIAGRAMS]
#
# Defaults: build/, 5 runs, the export's default size, 1,000 classes over
# 200 diagrams (`lumetra-generate-xmi` spreads the classes round-robin, so
# every diagram is about as large as the first, "Diagram 0", the one exported
# alone). Prints the median elapsed and processor time (user and system,
# all threads) of each and their ratios, and the peak resident sizes.
# Runs itself under xvfb-run when no DISPLAY is set.
set -euo pipefail

root="$(cd "$(dirname "$0")/../.." && pwd)"
build="$root/build"
runs=5
size=""
while getopts "b:r:s:" opt; do
  case "$opt" in
    b) build="$(cd "$OPTARG" && pwd)" ;;
    r) runs="$OPTARG" ;;
    s) size="$OPTARG" ;;
    *) sed -n 5p "$0" >&2; exit 2 ;;
  esac
done
shift $((OPTIND - 1))
classes="${1:-1000}"
diagrams="${2:-200}"

lumetra="$build/bin/lumetra"
generate="$build/bin/lumetra-generate-xmi"
for tool in "$lumetra" "$generate"; do
  [ -x "$tool" ] || { echo "missing $tool: build the project first" >&2; exit 1; }
done
[ -x /usr/bin/time ] || { echo "missing /usr/bin/time (Debian package: time)" >&2; exit 1; }
if [ -z "${DISPLAY:-}" ]; then
  exec xvfb-run -a -s "-screen 0 1280x1024x24" "$0" -b "$build" -r "$runs" ${size:+-s "$size"} "$classes" "$diagrams"
fi

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
sizeOption=()
[ -z "$size" ] || sizeOption=(--size "$size")

. "$(dirname "$0")/timing.sh"

model="$work/model.xmi"
"$generate" "$classes" "$diagrams" "$model" >/dev/null
largest="Diagram 0"
: >"$work/all" && : >"$work/one-log"
# One unmeasured run of each fills the file cache.
"$lumetra" --export-all "$work/pictures" "${sizeOption[@]}" "$model"
"$lumetra" --export "$work/one.png" --diagram "$largest" "${sizeOption[@]}" "$model"
for ((i = 0; i < runs; i++)); do
  rm -rf "$work/pictures"
  timed "$work/all" "$lumetra" --export-all "$work/pictures" "${sizeOption[@]}" "$model"
  timed "$work/one-log" "$lumetra" --export "$work/one.png" --diagram "$largest" "${sizeOption[@]}" "$model"
done
echo "machine: $(uptime)"
echo "model: $classes classes, $diagrams diagrams ($(ls "$work/pictures" | wc -l) pictures), ${size:-default size}, $runs runs each"
awk -v as="$(median "$work/all" 1)" -v os="$(median "$work/one-log" 1)" -v ac="$(median "$work/all" 3)" \
  -v oc="$(median "$work/one-log" 3)" -v ak="$(median "$work/all" 2)" -v ok="$(median "$work/one-log" 2)" \
  'BEGIN {printf "| export-all s | one export s | ratio | export-all cpu s | one cpu s | cpu ratio | peak MB all / one |\n|---|---|---|---|---|---|---|\n| %.2f | %.2f | %.1f | %.2f | %.2f | %.1f | %.0f / %.0f |\n", as, os, as / os, ac, oc, ac / oc, ak / 1024, ok / 1024}'

#!/usr/bin/env bash
# Times `lumetra --export` beside Graphviz (`neato -n2 -Tpng`) drawing the
# same generated class diagram: the same boxes with names and compartments
# and the same relation lines at the same fixed places, into a PNG of the
# same pixel size. Each run is a whole process, timed by /usr/bin/time; the
# two programs alternate, so a change in machine load touches both alike.
#
#   bench/export/compare-graphviz.sh [-b BUILD_DIR] [-r RUNS] [-s WIDTHxHEIGHT] [CLASSES...]
#
# Defaults: build/, 7 runs, 1600x1200, 1000 and 5000 classes. Prints, per
# model, the median elapsed time of each program, their ratio (lumetra over
# Graphviz), the median processor time (user and system, all threads) of
# each and its ratio, and each program's peak resident size (median of the
# runs).
# Installs Graphviz when `neato` is missing. Runs under xvfb-run when no
# DISPLAY is set.
set -euo pipefail

root="$(cd "$(dirname "$0")/../.." && pwd)"
build="$root/build"
runs=7
size=1600x1200
while getopts "b:r:s:" opt; do
  case "$opt" in
    b) build="$(cd "$OPTARG" && pwd)" ;;
    r) runs="$OPTARG" ;;
    s) size="$OPTARG" ;;
    *) sed -n 9p "$0" >&2; exit 2 ;;
  esac
done
shift $((OPTIND - 1))
models=("$@")
[ ${#models[@]} -gt 0 ] || models=(1000 5000)

lumetra="$build/bin/lumetra"
generate="$build/bin/lumetra-generate-xmi"
for tool in "$lumetra" "$generate"; do
  [ -x "$tool" ] || { echo "missing $tool: build the project first" >&2; exit 1; }
done
[ -x /usr/bin/time ] || { echo "missing /usr/bin/time (Debian package: time)" >&2; exit 1; }

if ! command -v neato >/dev/null; then
  echo "Installing graphviz"
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  export DEBIAN_FRONTEND=noninteractive
  $sudo apt-get update -qq
  $sudo apt-get install -y -qq --no-install-recommends graphviz </dev/null
fi

if [ -z "${DISPLAY:-}" ]; then
  exec xvfb-run -a -s "-screen 0 1280x1024x24" "$0" -b "$build" -r "$runs" -s "$size" "${models[@]}"
fi

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

. "$(dirname "$0")/timing.sh"

echo "machine: $(uptime)"
echo "picture: $size px, $runs runs each, alternating"
printf '| classes | lumetra s | neato s | ratio | lumetra cpu s | neato cpu s | cpu ratio | lumetra peak MB | neato peak MB |\n'
printf '|---|---|---|---|---|---|---|---|---|\n'
for n in "${models[@]}"; do
  xmi="$work/model-$n.xmi"
  dot="$work/model-$n.dot"
  "$generate" "$n" 1 "$xmi" --dot "$dot" "$size"
  : >"$work/lumetra-$n" && : >"$work/neato-$n"
  # One unmeasured run of each fills the file cache.
  "$lumetra" --export "$work/lumetra.png" --size "$size" "$xmi"
  neato -n2 -Tpng "$dot" -o "$work/neato.png"
  for ((i = 0; i < runs; i++)); do
    timed "$work/lumetra-$n" "$lumetra" --export "$work/lumetra.png" --size "$size" "$xmi"
    timed "$work/neato-$n" neato -n2 -Tpng "$dot" -o "$work/neato.png"
  done
  ls=$(median "$work/lumetra-$n" 1)
  ns=$(median "$work/neato-$n" 1)
  lk=$(median "$work/lumetra-$n" 2)
  nk=$(median "$work/neato-$n" 2)
  lc=$(median "$work/lumetra-$n" 3)
  nc=$(median "$work/neato-$n" 3)
  awk -v n="$n" -v ls="$ls" -v ns="$ns" -v lk="$lk" -v nk="$nk" -v lc="$lc" -v nc="$nc" \
    'BEGIN {printf "| %d | %.2f | %.2f | %.2f | %.2f | %.2f | %.2f | %.0f | %.0f |\n", n, ls, ns, ls / ns, lc, nc, lc / nc, lk / 1024, nk / 1024}'
  if [ -n "${KEEP_PICTURES:-}" ]; then
    cp "$work/lumetra.png" "$KEEP_PICTURES/lumetra-$n.png"
    cp "$work/neato.png" "$KEEP_PICTURES/neato-$n.png"
  fi
done
echo "machine: $(uptime)"

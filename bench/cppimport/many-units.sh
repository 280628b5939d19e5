#!/usr/bin/env bash
# Imports a generated project of many small translation units and prints
# the import's time and its peak resident size: memory must stay bounded by
# the project's classes, not grow with every unit parsed.
#
#   bench/cppimport/many-units.sh [-b BUILD_DIR] [-j JOBS] [UNITS]
#
# Defaults: build/, 1 job, 2000 units. The project goes to a fresh folder
# under ${TMPDIR:-/tmp} (removed afterwards): UNITS/20 folders, each with a
# header of 20 classes in one namespace per folder; every unit includes its
# folder's header and the previous folder's header (no system headers, so
# that 2,000 units parse in minutes on one core) and defines one class with
# a few members using both. Only the import runs (not the
# compiler): `import_benchmark DB --skip-compiler`, every unit parsed, then
# once more from the cache.
set -euo pipefail

root="$(cd "$(dirname "$0")/../.." && pwd)"
build="$root/build"
jobs=1
while getopts "b:j:" opt; do
  case "$opt" in
    b) build="$(cd "$OPTARG" && pwd)" ;;
    j) jobs="$OPTARG" ;;
    *) sed -n 6p "$0" >&2; exit 2 ;;
  esac
done
shift $((OPTIND - 1))
units="${1:-2000}"
folders=$(((units + 19) / 20))

project="$(mktemp -d "${TMPDIR:-/tmp}/lumetra-many-units.XXXXXX")"
trap 'rm -rf "$project"' EXIT
mkdir -p "$project/build"
{
  echo "["
  for ((f = 0; f < folders; f++)); do
    dir="$project/part$f"
    mkdir -p "$dir"
    {
      echo "#pragma once"
      echo "namespace part$f {"
      for ((c = 0; c < 20; c++)); do
        echo "struct Item$c { int value = $c; Item$c* next[4] = {}; int twice() const { return value * 2; } };"
      done
      echo "}"
    } > "$dir/Items.h"
    for ((u = 0; u < 20 && f * 20 + u < units; u++)); do
      previous=$(((f + folders - 1) % folders))
      cat > "$dir/Unit$u.cpp" <<UNIT
#include "part$f/Items.h"
#include "part$previous/Items.h"
namespace part$f {
class Unit$u {
 public:
  int sum() const {
    int total = 0;
    for (const Item$u* item : items_) total += item ? item->twice() : 0;
    return total;
  }
 private:
  Item$u* items_[8] = {};
  part$previous::Item0* other_ = nullptr;
};
}
UNIT
      [[ $f -eq 0 && $u -eq 0 ]] || echo ","
      printf '{"directory": "%s", "file": "%s", "command": "c++ -std=c++17 -I%s -c %s"}' \
        "$project/build" "$dir/Unit$u.cpp" "$project" "$dir/Unit$u.cpp"
    done
  done
  echo "]"
} > "$project/build/compile_commands.json"

echo "project: $units units in $folders folders; jobs $jobs; load $(cut -d' ' -f1-3 /proc/loadavg)"
"$build/bin/import_benchmark" "$project/build" --jobs "$jobs" --skip-compiler

# Timing helpers shared by the export benchmarks; the caller sets $work.

# One whole process: appends "seconds kilobytes processor-seconds" to the file.
timed() {
  local log="$1"
  shift
  /usr/bin/time -f "%e %M %U %S" -o "$work/one" "$@" >/dev/null 2>"$work/stderr" || {
    echo "failed: $*" >&2
    cat "$work/stderr" >&2
    exit 1
  }
  awk '{print $1, $2, $3 + $4}' "$work/one" >>"$log"
}

median() {  # column of the file
  sort -g -k"$2","$2" "$1" | awk -v c="$2" '{v[NR] = $c} END {print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2}'
}

#!/usr/bin/env bash
# The Excel export of 20,000 files and 10,000 contacts from a seeded store, beside openpyxl
# writing the same cells: medians of ROUNDS runs, each in its own process, and peak RSS.
#   bench/excelbench.sh BUILD_DIR [ROUNDS]
set -euo pipefail
build=${1:?build folder}
rounds=${2:-5}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export QT_QPA_PLATFORM=offscreen HOME="$work"
bench="$build/bench/excelbench"
here=$(dirname "$0")

"$bench" seed "$work/store" >/dev/null

median() { sort -n | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}'; }

for kind in files contacts; do
  : > "$work/$kind.ours"; : > "$work/$kind.py"
  for _ in $(seq "$rounds"); do
    "$bench" "$kind" "$work/store" "$work/$kind.xlsx" >> "$work/$kind.ours"
    /usr/bin/python3 "$here/excel_openpyxl.py" "$work/$kind.xlsx" "$work/$kind-py.xlsx" >> "$work/$kind.py"
  done
  ours=$(awk '{print $2}' "$work/$kind.ours" | median)
  rss_before=$(awk '{print $3}' "$work/$kind.ours" | median)
  rss=$(awk '{print $4}' "$work/$kind.ours" | median)
  theirs=$(awk '{print $2}' "$work/$kind.py" | median)
  rss_py=$(awk '{print $3}' "$work/$kind.py" | median)
  size=$(stat -c %s "$work/$kind.xlsx")
  printf '%-8s export %8.1f ms  peak RSS %7d kB (%d kB before)  | openpyxl %8.1f ms  peak RSS %7d kB | x%.1f  (%d bytes)\n' \
    "$kind" "$ours" "$rss" "$rss_before" "$theirs" "$rss_py" "$(echo "$theirs / $ours" | bc -l)" "$size"
done

#!/bin/bash
# Start-up time (exec until the window is mapped, median of RUNS) and peak
# memory of the program with all its artwork loaded, at each size of the
# table. Prints figures only.
# Usage (inside xvfb-run, on a screen that holds the large table):
#   startup_bench.sh MARVANTO X11_PROBE [RUNS]
set -eu
MARVANTO=$(readlink -f "$1")
PROBE=$(readlink -f "$2")
RUNS=${3:-10}
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
export HOME=$WORK
cd "$WORK"
mkdir -p "$HOME/.foxrc/zok"

for size in small medium large; do
    printf '[Display]\nCardSize=%s\n' "$size" > "$HOME/.foxrc/zok/marvanto"
    for _ in $(seq "$RUNS"); do
        "$PROBE" startup "$MARVANTO" | sed -n 's/.*mapped_ms=\([0-9.]*\).*/\1/p'
    done | sort -n > times.txt
    median=$(awk '{v[NR]=$1} END {print (NR%2) ? v[(NR+1)/2] : (v[NR/2]+v[NR/2+1])/2}' times.txt)
    echo "$size: start-up to window mapped: median ${median} ms over ${RUNS} runs (min $(head -1 times.txt), max $(tail -1 times.txt))"
    "$PROBE" startup /usr/bin/time -v "$MARVANTO" 2> time.txt >/dev/null
    echo "$size: peak RSS: $(sed -n 's/.*Maximum resident set size (kbytes): //p' time.txt) KiB"
done

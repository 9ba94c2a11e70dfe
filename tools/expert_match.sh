#!/bin/sh
# The Expert's matches against the standard players: each match's games are
# split between two processes with their own seeds, one for each core, and
# the share side A won is printed with its 95% interval.
# Usage: tools/expert_match.sh path/to/marvanto-selfplay [games]
set -eu
selfplay=$1
games=${2:-2000}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

match() {
    label=$1
    shift
    half=$((games / 2))
    "$selfplay" --games "$half" --seed 1 "$@" >"$work/1" &
    first=$!
    "$selfplay" --games $((games - half)) --seed 2 "$@" >"$work/2" &
    second=$!
    status=0
    wait "$first" || status=1
    wait "$second" || status=1
    tail -n 1 "$work/1" "$work/2" | awk -v label="$label" -v status="$status" '
        /^games=/ {
            for (i = 1; i <= NF; ++i) {
                split($i, kv, "=")
                if (kv[1] == "games") n += kv[2]
                if (kv[1] == "wonA") a += kv[2]
                if (kv[1] == "violations") v += kv[2]
            }
        }
        END {
            p = n > 0 ? a / n : 0
            h = n > 0 ? 1.96 * sqrt(p * (1 - p) / n) : 0
            printf "%s: games=%d wonA=%d rate=%.1f%% +-%.1f (95%% interval %.1f-%.1f) violations=%d%s\n",
                   label, n, a, 100 * p, 100 * h, 100 * (p - h), 100 * (p + h), v, status ? " FAILED" : ""
        }'
}

match "expert vs standard, 4 seats" --seats 4 --players expert,standard
match "expert vs standard, 2 seats" --seats 2 --players expert,standard
match "expert with a standard partner vs standard, 4 seats" --seats 4 --players expert+standard,standard
match "omniscient vs standard, 4 seats" --seats 4 --players omniscient,standard
match "omniscient vs standard, 2 seats" --seats 2 --players omniscient,standard

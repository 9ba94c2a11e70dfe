#!/bin/sh
# Builds the fuzz targets with clang into build-fuzz/ and runs each for
# FUZZ_SECONDS (default 60): the reader, the session and the game record
# reader, or only the one named (reader, session or record). Crashing inputs are left in build-fuzz/.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
out="$root/build-fuzz"
seconds=${FUZZ_SECONDS:-60}
targets=${1:-reader session record}

cmake -S "$root/fuzz" -B "$out" -DCMAKE_CXX_COMPILER=clang++ >/dev/null
cmake --build "$out" -j2 --target marvanto-fuzz-reader marvanto-fuzz-session marvanto-fuzz-record marvanto-fuzz-corpus
mkdir -p "$out/corpus" "$out/session-corpus" "$out/record-corpus"
cp "$root"/tests/records/data/*.mvr "$out/record-corpus/"
"$out/marvanto-fuzz-corpus" "$out/corpus" "$out/session-corpus"
for target in $targets; do
    case $target in
    reader) corpus="$out/corpus" ;;
    session) corpus="$out/session-corpus" ;;
    record) corpus="$out/record-corpus" ;;
    *) echo "unknown fuzz target: $target" >&2; exit 2 ;;
    esac
    "$out/marvanto-fuzz-$target" "$corpus" -max_total_time="$seconds" -max_len=4096 -timeout=10 \
        -print_final_stats=1 -artifact_prefix="$out/$target-"
done

#!/bin/sh
# Builds the reader fuzz target with clang into build-fuzz/ and runs it for
# FUZZ_SECONDS (default 60). Crashing inputs are left in build-fuzz/.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
out="$root/build-fuzz"
seconds=${FUZZ_SECONDS:-60}

cmake -S "$root/fuzz" -B "$out" -DCMAKE_CXX_COMPILER=clang++ >/dev/null
cmake --build "$out" -j2 --target marvanto-fuzz-reader marvanto-fuzz-corpus
mkdir -p "$out/corpus"
"$out/marvanto-fuzz-corpus" "$out/corpus"
exec "$out/marvanto-fuzz-reader" "$out/corpus" -max_total_time="$seconds" -max_len=4096 -timeout=10 \
    -print_final_stats=1 -artifact_prefix="$out/"

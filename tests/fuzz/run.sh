#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each for a bounded time.
#   tests/fuzz/run.sh [SECONDS]          a run per target (default 20 s), corpus read only
#   tests/fuzz/run.sh SECONDS --keep     also merges new interesting inputs into the corpus
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
seconds=${1:-20}
keep=${2:-}
build="$root/build-fuzz"
CC=clang CXX=clang++ cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DBUILD_TESTING=OFF -DTOVAKIDOVIV_FUZZ=ON >/dev/null
targets=(fuzz_regionlists fuzz_quotation fuzz_areanumber fuzz_newswalk fuzz_codepage936)
cmake --build "$build" --parallel "$(nproc)" --target "${targets[@]}"

export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
status=0
for t in "${targets[@]}"; do
  corpus="$root/tests/fuzz/corpus/$t"
  mkdir -p "$corpus"
  scratch=$(mktemp -d); mkdir "$scratch/new"
  echo "== $t: ${seconds}s"
  if ! (cd "$scratch" && "$build/tests/fuzz/$t" -max_total_time="$seconds" -max_len=4096 -timeout=10 \
        -rss_limit_mb=2048 -print_final_stats=1 "$scratch/new" "$corpus" 2>"$scratch/log"); then
    tail -n 40 "$scratch/log"
    mkdir -p "$build/findings/$t"
    cp "$scratch"/crash-* "$scratch"/leak-* "$scratch"/timeout-* "$build/findings/$t/" 2>/dev/null || true
    echo "$t: FAILED (inputs kept in build-fuzz/findings/$t)"
    status=1
  else
    grep -E "stat::number_of_executed_units|stat::new_units_added" "$scratch/log" | tr '\n' ' '; echo
    if [ "$keep" = "--keep" ]; then
      "$build/tests/fuzz/$t" -merge=1 "$corpus" "$scratch/new" 2>/dev/null
    fi
  fi
  rm -rf "$scratch"
done
exit $status

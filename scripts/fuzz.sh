#!/usr/bin/env bash
# Builds the libFuzzer targets (clang, AddressSanitizer, UndefinedBehaviorSanitizer)
# and runs each for the given number of seconds (default 30), starting from the
# committed seed corpus. New inputs go to a scratch folder, never into the tree.
#   scripts/fuzz.sh [SECONDS] [TARGET...]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-30}
shift || true
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(definitions srecord entries settings flash)
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j "$(nproc)" --target $(printf 'fuzz_%s ' "${targets[@]}")
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
status=0
for t in "${targets[@]}"; do
  mkdir -p "$scratch/$t"
  cp -r fuzz/corpus/"$t"/. "$scratch/$t/"
  echo "== fuzz_$t for ${seconds}s"
  if ! ASAN_OPTIONS=detect_leaks=1 build/fuzz/fuzz/fuzz_"$t" -max_total_time="$seconds" \
       -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 -artifact_prefix="$scratch/$t-" \
       "$scratch/$t" 2>"$scratch/$t.log"; then
    status=1
    tail -n 60 "$scratch/$t.log"
    for a in "$scratch/$t"-*; do
      [ -e "$a" ] && { echo "crash input:"; xxd "$a" | head -20; }
    done
  fi
  grep -E '^(Done|stat::number_of_executed_units|#[0-9]+.*DONE)' "$scratch/$t.log" | tail -n 2 || true
  grep -Eo 'cov: [0-9]+ ft: [0-9]+' "$scratch/$t.log" | tail -n 1 || true
done
exit $status

#!/usr/bin/env bash
# Builds the fuzz preset (clang-14, ASan + UBSan + libFuzzer) and runs one
# fuzz target for a fixed time:
#   scripts/fuzz.sh [seconds] [swf_player_fuzzer|render_command_fuzzer|interpreter_fuzzer]
# Seeds: the movies the seed writer builds in code, the render-dev corpus
# movies and the regression inputs, copied at run time. The growing corpus stays in
# build/fuzz/corpus/<target> between runs; findings (crash-*, timeout-*,
# oom-*, leak-*) land in build/fuzz/findings/<target> and fail the run.
# Turn each into a regression input: copy it to tests/fuzz/regressions/.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
seconds="${1:-60}"
target="${2:-swf_player_fuzzer}"
render_corpus="${QUORVEL_RENDER_CORPUS:-$root/../shared/corpus/render-dev}"
cd "$root"

if [ ! -f build/fuzz/build.ninja ]; then
  cmake --preset fuzz >build-fuzz.configure.log 2>&1 || { cat build-fuzz.configure.log >&2; exit 1; }
  mv build-fuzz.configure.log build/fuzz/configure.log
fi
jobs=$(( $(nproc) < 2 ? $(nproc) : 2 ))
cmake --build --preset fuzz -j"$jobs" >build/fuzz/build.log 2>&1 || { tail -50 build/fuzz/build.log >&2; exit 1; }

work="build/fuzz/run/$target"
seeds="$work/seeds"
corpus="build/fuzz/corpus/$target"
findings="build/fuzz/findings/$target"
rm -rf "$seeds"
mkdir -p "$seeds" "$corpus" "$findings"
if [ "$target" = interpreter_fuzzer ]; then
  # Action blocks, seeded from the script corpus's frame scripts.
  script_corpus="${QUORVEL_TRACE_CORPUS:-$root/../shared/corpus/avm1-dev}"
  [ -d "$script_corpus" ] && build/fuzz/bin/interpreter_seed_writer "$seeds" "$script_corpus" >/dev/null
  cp "$root"/tests/fuzz/regressions/interpreter/* "$seeds/" 2>/dev/null || true
  dict=()
else
  build/fuzz/bin/fuzz_seed_writer "$seeds"
  if [ -d "$render_corpus" ]; then
    for movie in "$render_corpus"/*/movie.swf; do
      cp "$movie" "$seeds/$(basename "$(dirname "$movie")").swf"
    done
  else
    echo "fuzz.sh: no render corpus at $render_corpus; seeding with the built-in movies only" >&2
  fi
  # Every input that was ever a finding runs first, under clang's sanitizers
  # (the native GCC build's UBSan does not check float-to-int conversions).
  cp "$root"/tests/fuzz/regressions/*.swf "$seeds/"
  dict=(-dict="$root/tests/fuzz/swf.dict")
fi
# Earlier findings stay findings until they are moved away.
before=$(find "$findings" -type f | wc -l)

echo "== fuzzing $target for $seconds s (corpus $corpus, findings $findings)"
status=0
# One fuzzing process, niced: the machine's cores are shared.
( cd "$work" && nice -n 10 "$root/build/fuzz/bin/$target" \
    -max_total_time="$seconds" -workers=1 -jobs=1 -timeout=20 -rss_limit_mb=2048 -malloc_limit_mb=1024 \
    -max_len=131072 "${dict[@]}" -print_final_stats=1 -artifact_prefix="$root/$findings/" \
    "$root/$corpus" "$root/$seeds" ) || status=$?
log="$work/fuzz-0.log"
[ -f "$log" ] && grep -E '^(#[0-9]+ +(DONE|INITED)|stat::number_of_executed_units|stat::peak_rss_mb|==[0-9]+==ERROR|SUMMARY)' "$log" || true

after=$(find "$findings" -type f | wc -l)
if [ "$status" -ne 0 ] || [ "$after" -ne 0 ]; then
  echo "fuzz.sh: $target found a problem (exit $status, $after finding(s), $before before this run):" >&2
  find "$findings" -type f >&2
  exit 1
fi
echo "fuzz.sh: $target ran $seconds s without a finding"

#!/bin/sh
# Runs every fuzz target of a build for a bounded time: kveltar's fuzz corpus
# (fuzz/corpus/<target>, seeds and minimised findings kept in the repository) is
# replayed first, new inputs go to the build folder; fuzz/<target>.dict is the target's
# dictionary, if it has one. Prints libFuzzer's final figures.
#   fuzz/run_fuzzers.sh BUILD_DIR SECONDS_PER_TARGET
set -e
build="$1"
seconds="${2:-10}"
here="$(cd "$(dirname "$0")" && pwd)"
status=0
for target in "$build"/*_fuzz; do
  [ -x "$target" ] || continue
  name="$(basename "$target")"
  seeds="$here/corpus/$name"
  grown="$build/corpus/$name"
  artifacts="$build/artifacts/$name"
  mkdir -p "$seeds" "$grown" "$artifacts"
  # A target's dictionary, fuzz/<target>.dict, when it has one.
  dict=""
  [ -f "$here/$name.dict" ] && dict="-dict=$here/$name.dict"
  echo "== $name: ${seconds}s"
  if ! "$target" -max_total_time="$seconds" -print_final_stats=1 -artifact_prefix="$artifacts/" $dict \
      "$grown" "$seeds" 2>"$build/$name.log"; then
    status=1
    tail -40 "$build/$name.log"
  fi
  grep -E '^stat::(number_of_executed_units|peak_rss_mb|new_units_added)' "$build/$name.log" || true
done
exit $status

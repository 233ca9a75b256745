#!/usr/bin/env bash
# Runs the libFuzzer programs of a fuzz build (cmake -DORDOVANE_FUZZ=ON).
#
#   run-fuzz.sh smoke BUILD_DIR            every seed and regression input once, then a
#                                          few seconds of fuzzing per target (CI)
#   run-fuzz.sh long  BUILD_DIR [SECONDS]  SECONDS of fuzzing per target (default 1800),
#                                          growing a working corpus in BUILD_DIR/fuzz-work
#
# FUZZ_TARGETS="a b" limits the run to those targets. One fuzzer runs at a
# time, in its own process on one core (no -jobs, which would fork a worker
# logging to ./fuzz-N.log). A finding stops the run with the fuzzer's report;
# its input is left in BUILD_DIR/fuzz-findings/.
set -euo pipefail
cd "$(dirname "$0")/.."

mode=${1:-}
build=${2:-}
if [ -z "$mode" ] || [ -z "$build" ] || { [ "$mode" != smoke ] && [ "$mode" != long ]; }; then
  echo "usage: $0 smoke|long BUILD_DIR [SECONDS]" >&2
  exit 2
fi
seconds=${3:-1800}
smoke_seconds=${FUZZ_SMOKE_SECONDS:-4}
list="$build/fuzz/fuzz-targets.txt"
if [ ! -f "$list" ]; then
  echo "$list not found: configure $build with -DORDOVANE_FUZZ=ON first" >&2
  exit 2
fi
targets=${FUZZ_TARGETS:-$(cat "$list")}
findings="$build/fuzz-findings"
mkdir -p "$findings"

for t in $targets; do
  bin="$build/bin/$t"
  corpus="fuzz/corpus/$t"
  flags=(-rss_limit_mb=2048 -timeout=25 "-artifact_prefix=$findings/$t-")
  [ -f "fuzz/dict/$t.dict" ] && flags+=("-dict=fuzz/dict/$t.dict")
  if [ -f "fuzz/options/$t.options" ]; then
    while IFS= read -r opt; do
      [ -n "$opt" ] && flags+=("$opt")
    done <"fuzz/options/$t.options"
  fi
  inputs=("$corpus")
  [ -d "fuzz/regressions/$t" ] && inputs+=("fuzz/regressions/$t")
  if [ "$mode" = smoke ]; then
    echo "== $t: seeds and regression inputs"
    # Listing the files runs each exactly once (a folder would start fuzzing).
    mapfile -t files < <(find "${inputs[@]}" -type f | sort)
    "$bin" "${flags[@]}" "${files[@]}" >"$findings/$t.log" 2>&1 ||
      { cat "$findings/$t.log"; echo "FAILED: $t on its seed or regression inputs" >&2; exit 1; }
    echo "== $t: ${smoke_seconds}s of fuzzing"
    # Into a scratch folder, so the seeds stay as committed.
    scratch=$(mktemp -d)
    "$bin" "${flags[@]}" -max_total_time="$smoke_seconds" "$scratch" "${inputs[@]}" \
      >"$findings/$t.log" 2>&1 ||
      { rm -rf "$scratch"; cat "$findings/$t.log"; echo "FAILED: $t" >&2; exit 1; }
    rm -rf "$scratch"
    grep -E '^(#[0-9]+|Done)' "$findings/$t.log" | tail -n 1
  else
    work="$build/fuzz-work/$t"
    mkdir -p "$work"
    echo "== $t: ${seconds}s"
    "$bin" "${flags[@]}" -max_total_time="$seconds" -print_final_stats=1 "$work" "${inputs[@]}" \
      2>&1 | tee "$findings/$t.log" | grep -E '^(#[0-9]+.*(pulse|REDUCE|NEW)|Done|stat::|==[0-9]+==|SUMMARY)' |
      grep -vE 'NEW|REDUCE' || true
    if grep -qE '^(==[0-9]+==ERROR|SUMMARY:)' "$findings/$t.log"; then
      echo "FAILED: $t (see $findings/)" >&2
      exit 1
    fi
    grep -E '^#[0-9]+' "$findings/$t.log" | tail -n 1
  fi
done

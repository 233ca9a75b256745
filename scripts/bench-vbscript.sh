#!/usr/bin/env bash
# Runs the script-engine benchmark: one million loop iterations of integer
# arithmetic and string building with a Tallomir call every thousandth
# step, in the VBScript engine and in the JScript engine, each run whole
# through the scripting host's site. Prints the CPU time per run of each and
# their ratio, with the CPU they ran on.
#
# Usage: scripts/bench-vbscript.sh [BUILD_DIR] [benchmark flags...]
#   BUILD_DIR defaults to "build". BENCH_MIN_TIME (seconds, default 2) sets
#   the minimum time per side.
set -euo pipefail

build=${1:-build}
if [ $# -gt 0 ]; then shift; fi
bin="$build/bin/vbscript_bench"
if [ ! -x "$bin" ]; then
    echo "bench-vbscript: $bin not found; build the vbscript_bench target first" >&2
    exit 1
fi

json=$(mktemp "${TMPDIR:-/tmp}/vbscript-bench.XXXXXX")
trap 'rm -f "$json"' EXIT
"$bin" --benchmark_format=json --benchmark_min_time="${BENCH_MIN_TIME:-2}" "$@" >"$json"

python3 - "$json" <<'PYTHON'
import json
import sys

with open(sys.argv[1]) as f:
    report = json.load(f)
TO_MS = {"ns": 1e-6, "us": 1e-3, "ms": 1.0, "s": 1e3}
cpu = {}
for b in report.get("benchmarks", []):
    side = b["name"].split("/")[1]
    if b.get("error_occurred"):
        cpu[side] = "error: " + b.get("error_message", "")
    else:
        cpu[side] = b["cpu_time"] * TO_MS[b.get("time_unit", "ns")]

model = "unknown"
with open("/proc/cpuinfo") as f:
    for line in f:
        if line.startswith("model name"):
            model = line.split(":", 1)[1].strip()
            break
print(f"CPU: {model}")
print("One run of the loop (1e6 iterations, 1000 Tallomir calls), process CPU time:")
for side, label in (("ours", "VBScript engine"), ("jscript", "JScript engine")):
    value = cpu.get(side, "-")
    print(f"  {label:16} {value:.0f} ms" if isinstance(value, float) else f"  {label:16} {value}")
ours, peer = cpu.get("ours"), cpu.get("jscript")
if isinstance(ours, float) and isinstance(peer, float) and peer:
    print(f"  ratio VBScript / JScript: {ours / peer:.2f}")
PYTHON

#!/usr/bin/env bash
# Runs the arithmetic benchmarks and prints, per operation and size, our time,
# GMP's time and their ratio, with the CPU they ran on.
#
# Usage: scripts/bench-ratios.sh [BUILD_DIR] [benchmark flags...]
#   BUILD_DIR defaults to "build"; further arguments go to mpa_bench, e.g.
#   --benchmark_filter=Multiply. BENCH_MIN_TIME (seconds, default 0.1) sets
#   the minimum time per benchmark; a --benchmark_min_time flag overrides it.
set -euo pipefail

build=${1:-build}
if [ $# -gt 0 ]; then shift; fi
bin="$build/bin/mpa_bench"
if [ ! -x "$bin" ]; then
    echo "bench-ratios: $bin not found; build the mpa_bench target first" >&2
    exit 1
fi

json=$(mktemp "${TMPDIR:-/tmp}/mpa-bench.XXXXXX")
trap 'rm -f "$json"' EXIT

echo "Running $bin (about a minute)..." >&2
"$bin" --benchmark_format=json --benchmark_min_time="${BENCH_MIN_TIME:-0.1}" "$@" >"$json"

python3 - "$json" <<'PYTHON'
import json
import os
import re
import statistics
import sys

with open(sys.argv[1]) as f:
    report = json.load(f)

# Name parts that Google Benchmark appends and that are not part of the size.
SUFFIX = re.compile(r"^(iterations|min_time|min_warmup_time|repeats|threads):|"
                    r"^(real_time|manual_time|process_time)$")
# What the extra reference sides stand for.
REFERENCES = {
    "gmp": "",
    "gmp_mr10": " [10 MR rounds on mpz_powm]",
    "gmp_rand": " [random odd + mpz_probab_prime_p]",
    "openssl": " [OpenSSL BN_generate_prime_ex]",
}
TO_SECONDS = {"ns": 1e-9, "us": 1e-6, "ms": 1e-3, "s": 1.0}


def cpu_model():
    try:
        with open("/proc/cpuinfo") as f:
            for line in f:
                if line.startswith("model name"):
                    return line.split(":", 1)[1].strip()
    except OSError:
        pass
    return "unknown"


def human(seconds):
    for unit, scale in (("s", 1.0), ("ms", 1e-3), ("us", 1e-6)):
        if seconds >= scale:
            return f"{seconds / scale:.3g} {unit}"
    return f"{seconds / 1e-9:.3g} ns"


times = {}    # (op, size) -> side -> list of seconds, or an error text
order = []    # (op, size) in the order of the run
for b in report.get("benchmarks", []):
    if b.get("run_type") == "aggregate":
        continue  # with --benchmark_repetitions the median is taken below
    parts = [p for p in b["name"].split("/") if not SUFFIX.search(p)]
    if len(parts) < 2:
        continue
    op = parts[0].removeprefix("BM_")
    side = parts[1]
    size = "/".join(parts[2:]) or "-"
    if size.startswith("digits:"):
        size = size.removeprefix("digits:") + " digits"
    key = (op, size)
    if key not in times:
        times[key] = {}
        order.append(key)
    if b.get("error_occurred"):
        times[key][side] = "error: " + b.get("error_message", "")
        continue
    # A benchmark whose single runs vary widely reports their median itself.
    if "median_s" in b:
        seconds = b["median_s"]
    else:
        seconds = b["cpu_time"] * TO_SECONDS[b.get("time_unit", "ns")]
    entry = times[key].setdefault(side, [])
    if isinstance(entry, list):
        entry.append(seconds)


def value(entry):
    if entry is None:
        return None, "-"
    if isinstance(entry, str):
        return None, entry
    t = statistics.median(entry)
    return t, human(t)


rows = []
for op, size in order:
    sides = times[(op, size)]
    ours, ours_text = value(sides.get("ours"))
    for side in [s for s in sides if s != "ours"]:
        ref, ref_text = value(sides[side])
        label = op + REFERENCES.get(side, f" [{side}]")
        ratio = f"{ours / ref:.2f}" if ours is not None and ref else "-"
        rows.append((label, size, ours_text, ref_text, ratio))

context = report.get("context", {})
print(f"CPU: {cpu_model()} ({context.get('num_cpus', '?')} cpus, "
      f"load {os.getloadavg()[0]:.2f} at the end)")
print("CPU time per operation (MillerRabinSearch: median wall time of one "
      "search); sizes in bits (divide: dividend/divisor) unless named; "
      "ratio = ours / reference.")
header = ("operation", "size", "ours", "GMP", "ours/GMP")
widths = [max(len(str(r[i])) for r in rows + [header]) for i in range(5)]
print("  ".join(h.ljust(w) if i < 2 else h.rjust(w)
                for i, (h, w) in enumerate(zip(header, widths))))
print("  ".join("-" * w for w in widths))
for r in rows:
    print("  ".join(str(c).ljust(w) if i < 2 else str(c).rjust(w)
                    for i, (c, w) in enumerate(zip(r, widths))))
PYTHON

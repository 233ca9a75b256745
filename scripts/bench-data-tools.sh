#!/usr/bin/env bash
# The data tools against their peers, with the CPU they ran on:
#  1. in one process (bench/data_tools_bench, Google Benchmark): the nine
#     digests against OpenSSL's libcrypto, the CRC register against zlib's
#     crc32, the checksum widths;
#  2. on one cached file: `ordovane-cli hash` per algorithm against
#     `openssl dgst`, `ordovane-cli crc` (a catalogue preset and a polynomial
#     outside the catalogue) against zlib's crc32 reading the same file, and
#     `ordovane-cli checksum`.
# Throughput is bytes per second of CPU time (the machine may be shared);
# wall-clock figures are printed beside it. Ratios are ours / peer.
#
# Usage: scripts/bench-data-tools.sh [BUILD_DIR] [FILE_MIB]
#   BUILD_DIR defaults to "build", FILE_MIB (the file's size) to 256.
set -euo pipefail

build=${1:-build}
mib=${2:-256}
cli="$build/bin/ordovane-cli"
bench="$build/bin/data_tools_bench"
for b in "$cli" "$bench"; do
    if [ ! -x "$b" ]; then
        echo "bench-data-tools: $b not found; build ordovane-cli and data_tools_bench first" >&2
        exit 1
    fi
done
command -v openssl >/dev/null || { echo "bench-data-tools: openssl is not installed" >&2; exit 1; }

work=$(mktemp -d "${TMPDIR:-/tmp}/data-tools-bench.XXXXXX")
trap 'rm -rf "$work"' EXIT
echo "Running $bench..." >&2
"$bench" --benchmark_format=json --benchmark_min_time="${BENCH_MIN_TIME:-0.5}" >"$work/bench.json"
echo "Writing a ${mib} MiB file..." >&2
head -c $((mib * 1048576)) /dev/urandom >"$work/data.bin"
cat "$work/data.bin" >/dev/null

python3 - "$work" "$cli" "$bench" "$mib" <<'PYTHON'
import json, os, resource, subprocess, sys, time

work, cli, bench, mib = sys.argv[1], sys.argv[2], sys.argv[3], int(sys.argv[4])
data = os.path.join(work, "data.bin")
size = mib * 1048576
TO_SECONDS = {"ns": 1e-9, "us": 1e-6, "ms": 1e-3, "s": 1.0}


def cpu_model():
    with open("/proc/cpuinfo") as f:
        for line in f:
            if line.startswith("model name"):
                return line.split(":", 1)[1].strip()
    return "unknown"


def mbs(nbytes, seconds):
    return nbytes / seconds / 1e6 if seconds > 0 else float("inf")


print(f"CPU: {cpu_model()}; load {os.getloadavg()[0]:.2f}")
print()
print("In one process (16 MiB buffer, 1 MiB updates), MB/s of CPU time:")
report = json.load(open(os.path.join(work, "bench.json")))
rows = {}
order = []
for b in report["benchmarks"]:
    parts = b["name"].split("/")
    key, side = "/".join(parts[1:-2]) if parts[-1] == "real_time" else "/".join(parts[1:-1]), \
        parts[-2] if parts[-1] == "real_time" else parts[-1]
    kind = parts[0].removeprefix("BM_")
    key = (kind, key)
    if key not in rows:
        rows[key] = {}
        order.append(key)
    if b.get("error_occurred"):
        continue
    cpu = b["cpu_time"] * TO_SECONDS[b["time_unit"]]
    rows[key][side] = mbs(16 * 1048576, cpu)
print(f"  {'what':44} {'ours':>9} {'portable':>9} {'peer':>9} {'ours/peer':>9}")
for kind, name in order:
    r = rows[(kind, name)]
    peer = r.get("openssl", r.get("zlib"))
    peer_name = "openssl" if "openssl" in r else "zlib" if "zlib" in r else ""
    ratio = f"{r['ours'] / peer:.2f}" if peer else "-"
    portable = f"{r['ours_portable']:.0f}" if "ours_portable" in r else ""
    peer_text = f"{peer:.0f}" if peer else "-"
    print(f"  {kind + ' ' + name + (' vs ' + peer_name if peer_name else ''):44} "
          f"{r.get('ours', 0):9.0f} {portable:>9} {peer_text:>9} {ratio:>9}")


def run(cmd):
    """Best of three runs: (cpu seconds, wall seconds, stdout)."""
    best = None
    for _ in range(3):
        before = resource.getrusage(resource.RUSAGE_CHILDREN)
        t0 = time.perf_counter()
        out = subprocess.run(cmd, check=True, capture_output=True, text=True).stdout
        wall = time.perf_counter() - t0
        after = resource.getrusage(resource.RUSAGE_CHILDREN)
        cpu = (after.ru_utime - before.ru_utime) + (after.ru_stime - before.ru_stime)
        if best is None or cpu < best[0]:
            best = (cpu, wall, out)
    return best


print()
print(f"Command line on one cached {mib} MiB file, MB/s of CPU time (wall clock):")
print(f"  {'what':34} {'ours':>16} {'peer':>16} {'ours/peer':>9}")
algorithms = [("MD2", None), ("MD4", "md4"), ("MD5", "md5"), ("SHA-160", "sha1"),
              ("SHA-224", "sha224"), ("SHA-256", "sha256"), ("SHA-384", "sha384"),
              ("SHA-512", "sha512"), ("RIPEMD-160", "ripemd160")]
for name, peer in algorithms:
    ours = run([cli, "hash", "--algorithm", name, data])
    line = f"  hash {name:29} {mbs(size, ours[0]):7.0f} ({mbs(size, ours[1]):6.0f})"
    if peer is None:
        print(line + f" {'no peer':>16} {'-':>9}")
        continue
    theirs = run(["openssl", "dgst", "-provider", "legacy", "-provider", "default",
                  "-" + peer, "-r", data])
    same = ours[2].split()[0] == theirs[2].split()[0]
    print(line + f" {mbs(size, theirs[0]):7.0f} ({mbs(size, theirs[1]):6.0f}) "
          f"{ours[0] and theirs[0] / ours[0]:9.2f}" + ("" if same else "  DIGESTS DIFFER"))

zlib = run([bench, "--zlib-crc32", data])
crcs = [("crc --preset CRC-32/ISO-HDLC", ["--preset", "CRC-32/ISO-HDLC"], True),
        ("crc 32-bit, not in the catalogue",
         ["--poly", "32,31,30,29,28,24,21,20,17,13,11,5,4,2,0", "--reflected", "--init",
          "FFFFFFFF", "--xor", "FFFFFFFF"], False),
        ("crc 16-bit normal (IBM-3740)", ["--preset", "CRC-16/IBM-3740"], False)]
for label, args, compare in crcs:
    ours = run([cli, "crc"] + args + [data])
    same = "" if not compare or ours[2].strip() == zlib[2].strip() else "  VALUES DIFFER"
    print(f"  {label:34} {mbs(size, ours[0]):7.0f} ({mbs(size, ours[1]):6.0f}) "
          f"{mbs(size, zlib[0]):7.0f} ({mbs(size, zlib[1]):6.0f}) {zlib[0] / ours[0]:9.2f}{same}")
for width in ("1", "2", "4", "8"):
    ours = run([cli, "checksum", "--width", width, data])
    print(f"  checksum --width {width:17} {mbs(size, ours[0]):7.0f} ({mbs(size, ours[1]):6.0f})")
PYTHON

#!/usr/bin/env bash
# Installs every Debian package the build, the tests and the benchmarks need,
# and only those that are missing, so a second run costs nothing.
set -euo pipefail

packages=(
  cmake ninja-build g++ make pkg-config
  libssl-dev openssl zlib1g-dev
  qt6-base-dev qt6-declarative-dev qt6-tools-dev qt6-documentation-tools
  libgtest-dev libbenchmark-dev libgmp-dev valgrind
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -q
$SUDO apt-get install -y -q --no-install-recommends "${missing[@]}"

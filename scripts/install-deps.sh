#!/usr/bin/env bash
# Installs the Debian packages that building, running and testing need,
# skipping those already installed. Safe to run again.
set -euo pipefail

packages=(
  # build
  g++ make cmake pkg-config
  # libraries behind the program's adapters
  qt6-base-dev libcurl4-openssl-dev libpcre2-dev duktape-dev
  # the sample platform and the test servers
  libcpp-httplib-dev
  # Chinese captions drawn as characters
  fonts-wqy-microhei
  # tests and benchmarks
  googletest libgtest-dev libgmock-dev libbenchmark-dev
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
as_root=()
if [ "$(id -u)" -ne 0 ]; then
  command -v sudo >/dev/null || { echo "Run as root or install sudo: apt-get needs root." >&2; exit 1; }
  as_root=(sudo)
fi
export DEBIAN_FRONTEND=noninteractive
"${as_root[@]}" apt-get update -q
"${as_root[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"

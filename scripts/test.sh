#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test; non-zero on any failure.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install-deps.sh"
"$root/scripts/build.sh"
cd "${ORVENDEL_BUILD_DIR:-$root/build}"
# No display is needed: the window tests run on Qt's offscreen platform.
QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j "$(nproc)"

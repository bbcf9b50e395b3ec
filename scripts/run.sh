#!/usr/bin/env bash
# Installs what is missing, builds, and starts the program.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install-deps.sh"
"$root/scripts/build.sh"
echo "The program lands with the main window; the build is ready in ${ORVENDEL_BUILD_DIR:-$root/build}."

#!/usr/bin/env bash
# Installs what is missing, builds, and starts the program.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${ORVENDEL_BUILD_DIR:-$root/build}
"$root/scripts/install-deps.sh"
"$root/scripts/build.sh"

program=orvendel
# The switch that starts the demo program against the sample platform
# (orvendel-demo) is decided here.

exec "$build/app/$program"

#!/usr/bin/env bash
# Installs what is missing, builds, and starts the program.
#
#   scripts/run.sh          the program, talking to the platform's site;
#                           downloads go under the current directory
#   scripts/run.sh --demo   the program against the bundled sample platform,
#                           started on 127.0.0.1; downloads go to demo-downloads/
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${ORVENDEL_BUILD_DIR:-$root/build}

demo=false
case "${1:-}" in
  "") ;;
  --demo) demo=true ;;
  *) echo "usage: scripts/run.sh [--demo]" >&2; exit 2 ;;
esac

"$root/scripts/install-deps.sh"
"$root/scripts/build.sh"

# Qt wants a private runtime directory and warns without one.
if [ -z "${XDG_RUNTIME_DIR:-}" ]; then
  export XDG_RUNTIME_DIR="/tmp/orvendel-runtime-$(id -u)"
  mkdir -p "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
fi

if ! $demo; then
  exec "$build/app/orvendel"
fi

port=$(grep -E '^ORVENDEL_DEMO_PORT:' "$build/CMakeCache.txt" | cut -d= -f2)
log=$(mktemp /tmp/orvendel-sample-platform-XXXXXX.log)
# Audio at 512 KiB/s, so that a download's progress can be watched.
"$build/tests/sample_platform/orvendel-sample-platform" --port "$port" --audio-rate 512 >"$log" 2>&1 &
server=$!
trap 'kill $server 2>/dev/null; wait $server 2>/dev/null; rm -f "$log"' EXIT
for _ in $(seq 50); do
  grep -q 'http://' "$log" && break
  kill -0 $server 2>/dev/null || { cat "$log" >&2; echo "The sample platform did not start (is port $port in use?)." >&2; exit 1; }
  sleep 0.1
done
downloads="$PWD/demo-downloads"
mkdir -p "$downloads"
echo "Sample platform on http://127.0.0.1:$port; downloads go to $downloads"
echo "Try the keywords 故事, 三国, paid, faults or hostile."
cd "$downloads"
"$build/app/orvendel-demo"

#!/usr/bin/env bash
# Installs what is missing, builds everything and starts OrvixTools.
#   scripts/run-app.sh              against a real dongle on the USB bus
#   scripts/run-app.sh --emulator   against the built-in device emulator (no hardware needed)
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/install-deps.sh
cmake -S . -B build -G Ninja
cmake --build build -j "$(nproc)"
if [ "${1:-}" = "--emulator" ]; then
  shift
  if [ -x build/tools/devapp/orvixtools-dev ]; then
    exec build/tools/devapp/orvixtools-dev "$@"
  fi
  echo "The emulator-backed application is not built yet." >&2
  exit 1
fi
if [ -x build/orvixtools ]; then
  exec build/orvixtools "$@"
fi
echo "Everything is built; the application itself is not there yet."

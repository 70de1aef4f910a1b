#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each for a bounded time.
#   scripts/fuzz.sh [SECONDS_PER_TARGET]
set -euo pipefail
cd "$(dirname "$0")/.."
SECONDS_PER_TARGET=${1:-20}
CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DORVIX_FUZZ=ON -DORVIX_TESTS=ON \
  -DORVIX_BENCH=OFF -DCMAKE_BUILD_TYPE=RelWithDebInfo > build-fuzz.log
targets=$(cmake --build build-fuzz --target help | sed -n 's/^\(fuzz_[A-Za-z0-9_]*\):.*/\1/p' | grep -v _autogen || true)
if [ -z "$targets" ]; then
  echo "fuzz: no fuzz targets"
  exit 0
fi
cmake --build build-fuzz -j "$(nproc)" --target $targets
for t in $targets; do
  corpus=$(mktemp -d)
  echo "fuzz: $t for ${SECONDS_PER_TARGET}s"
  ./build-fuzz/tests/fuzz/$t -max_total_time="$SECONDS_PER_TARGET" -max_len=512 "$corpus" 2>&1 | tail -n 3
  rm -rf "$corpus"
done
echo "fuzz: all targets ran without a finding"

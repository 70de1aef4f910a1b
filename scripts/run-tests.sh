#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test.
#   scripts/run-tests.sh              normal build (build/) and the whole suite, then a short fuzz run
#   scripts/run-tests.sh --sanitize   the same suite in an AddressSanitizer + UBSan build (build-asan/)
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/install-deps.sh

JOBS=$(nproc)
BUILD=build
EXTRA=()
FUZZ=1
for arg in "$@"; do
  case "$arg" in
    --sanitize) BUILD=build-asan; EXTRA+=(-DORVIX_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug); FUZZ=0 ;;
    --tsan) BUILD=build-tsan; EXTRA+=(-DORVIX_TSAN=ON -DCMAKE_BUILD_TYPE=Debug); FUZZ=0 ;;
    --no-fuzz) FUZZ=0 ;;
    *) echo "unknown option $arg" >&2; exit 2 ;;
  esac
done

# Tests never touch the real home, settings store, log folder or temporary folder.
SANDBOX=$(mktemp -d -t orvix-tests-XXXXXX)
trap 'rm -rf "$SANDBOX"' EXIT
export HOME="$SANDBOX/home" XDG_DATA_HOME="$SANDBOX/data" XDG_CONFIG_HOME="$SANDBOX/config" \
       XDG_CACHE_HOME="$SANDBOX/cache" XDG_RUNTIME_DIR="$SANDBOX/run" TMPDIR="$SANDBOX/tmp"
mkdir -p "$HOME" "$XDG_DATA_HOME" "$XDG_CONFIG_HOME" "$XDG_CACHE_HOME" "$XDG_RUNTIME_DIR" "$TMPDIR"
chmod 700 "$XDG_RUNTIME_DIR"
export QTWEBENGINE_DISABLE_SANDBOX=1
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
export LSAN_OPTIONS=${LSAN_OPTIONS:-suppressions=$PWD/tests/sanitizers/lsan.supp:print_suppressions=0}
export TSAN_OPTIONS=${TSAN_OPTIONS:-suppressions=$PWD/tests/sanitizers/tsan.supp:halt_on_error=1:second_deadlock_stack=1}

cmake -S . -B "$BUILD" -G Ninja "${EXTRA[@]}"
cmake --build "$BUILD" -j "$JOBS"

status=0
# A short bounded fuzz run first, so that ctest's closing summary is the last thing printed.
if [ "$FUZZ" = 1 ]; then
  ./scripts/fuzz.sh 20 || status=1
fi
(cd "$BUILD" && xvfb-run -a -s "-screen 0 1920x1080x24" ctest --output-on-failure -j "$JOBS" --timeout 300) || status=1
exit $status

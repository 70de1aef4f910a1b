#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test.
#   scripts/run-tests.sh              the whole suite in an AddressSanitizer + UBSan build
#                                     (build-asan/), a short fuzz run, then the whole suite in
#                                     the normal build (build/), the end-to-end check and a
#                                     short random walk; this is what CI runs
#   scripts/run-tests.sh --quick      the normal build's suite, the end-to-end check and the walk
#   scripts/run-tests.sh --sanitize   the AddressSanitizer + UBSan suite only
#   scripts/run-tests.sh --tsan       the suite in a ThreadSanitizer build (build-tsan/)
#   --time-scale=N                    every time-out the tests depend on N times as long
#                                     (default: from the machine's load, see time_scale below)
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/install-deps.sh

JOBS=$(nproc)
MODE=all
TIME_SCALE=${ORVIX_TEST_TIME_SCALE:-}
for arg in "$@"; do
  case "$arg" in
    --time-scale=*) TIME_SCALE=${arg#--time-scale=} ;;
    --quick) MODE=quick ;;
    --sanitize) MODE=asan ;;
    --tsan) MODE=tsan ;;
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
# The thread checker's options for the tests ctest runs without the test launcher; each GoogleTest
# executable brings its own (cmake/OrvixHelpers.cmake, tests/sanitizers/tsan.supp).
export TSAN_OPTIONS=${TSAN_OPTIONS:-suppressions=$PWD/tests/sanitizers/tsan.supp:halt_on_error=1:second_deadlock_stack=1}

# time_scale FACTOR: the factor for every time-out the tests depend on (tests/common/time_scale.h):
# 1 on an idle machine, one more for each run queue per core the machine is busy with, times
# FACTOR (the sanitizer builds run slower); --time-scale or ORVIX_TEST_TIME_SCALE sets it outright.
time_scale() {
  if [ -n "$TIME_SCALE" ]; then
    echo "$TIME_SCALE"
    return
  fi
  awk -v load="$(cut -d' ' -f1 /proc/loadavg)" -v cores="$(nproc)" -v factor="$1" \
    'BEGIN { s = (1 + load / cores) * factor; printf "%.1f", (s > 10 ? 10 : s) }'
}

# suite BUILD_DIR [CMAKE_OPTIONS...]: configures, builds and runs every test of one build. A test
# that fails is run once more before the run counts it as failed: the display-bound tests drive a
# shared X server and a few timing tests run beside a full parallel build; the output keeps the
# first failure for whoever reads it.
suite() {
  local dir=$1
  shift
  cmake -S . -B "$dir" -G Ninja "$@" || return 1
  cmake --build "$dir" -j "$JOBS" || return 1
  local factor=1
  [[ "$*" == *SANITIZE=ON* || "$*" == *TSAN=ON* ]] && factor=1.5
  export ORVIX_TEST_TIME_SCALE=$(time_scale $factor)
  echo "Time scale for the tests in $dir: $ORVIX_TEST_TIME_SCALE"
  (cd "$dir" && xvfb-run -a -s "-screen 0 1920x1080x24" ctest --output-on-failure -j "$JOBS" --timeout 300 --repeat until-pass:2) || return 1
}

# e2e BUILD_DIR: the development executable against the emulator, driven on an X screen of its
# own by real input; screenshots of every page in BUILD_DIR/test-artifacts/e2e/.
e2e() {
  xvfb-run -a -s "-screen 0 1920x1080x24" python3 tools/e2e/e2e.py --build "$1"
}

# walk BUILD_DIR: a short random walk (one fixed seed, 30 s of steps) of the development
# executable against the emulator: device commands, clicks and keys in an unplanned order.
walk() {
  xvfb-run -a -s "-screen 0 1920x1080x24" python3 tools/e2e/walk.py --build "$1" --seed 5 --seconds 30
}

status=0
case "$MODE" in
  asan) suite build-asan -DORVIX_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug || status=1 ;;
  tsan)
    # Mesa's software renderer draws on worker threads of its own: it draws on the calling thread
    # instead, so that the checker's run does not depend on threads inside an uninstrumented
    # driver.
    export LP_NUM_THREADS=0 mesa_glthread=false
    suite build-tsan -DORVIX_TSAN=ON -DCMAKE_BUILD_TYPE=Debug || status=1
    ;;
  quick)
    suite build || status=1
    e2e build || status=1
    walk build || status=1
    ;;
  all)
    suite build-asan -DORVIX_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug -DORVIX_BENCH=OFF || status=1
    ./scripts/fuzz.sh 20 || status=1
    # The normal build last, so that its ctest summary and the end-to-end check close the run.
    suite build || status=1
    e2e build || status=1
    walk build || status=1
    ;;
esac
exit $status

#!/usr/bin/env bash
# Installs what is missing, builds everything with AddressSanitizer and
# UndefinedBehaviorSanitizer, and runs every test; then builds and checks the
# Debian package and installs it, and proves the Windows build under Wine. This
# is what CI runs. TEVRA_SKIP_FUZZ=1, TEVRA_SKIP_PACKAGE=1 and TEVRA_SKIP_WINDOWS=1
# leave those parts out of a local run.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
jobs=$(nproc)
cmake --preset dev-asan >/dev/null
cmake --build --preset dev-asan -j "$jobs"
export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
ctest --test-dir build/asan --output-on-failure -j "$jobs" --timeout 600
# The serial channel's reader thread under ThreadSanitizer: open, close, reopen.
cmake --preset tsan >/dev/null
cmake --build --preset tsan -j "$jobs" --target tevra_ecm_tests
TSAN_OPTIONS=halt_on_error=1 build/tsan/tests/ecm/tevra_ecm_tests --gtest_filter='SerialCom*:*Fifo*'
if [ -x scripts/fuzz.sh ] && [ "${TEVRA_SKIP_FUZZ:-0}" != 1 ]; then
  scripts/fuzz.sh "${TEVRA_FUZZ_SECONDS:-30}"
fi
if [ "${TEVRA_SKIP_PACKAGE:-0}" != 1 ]; then
  scripts/package.sh
fi
if [ "${TEVRA_SKIP_WINDOWS:-0}" != 1 ]; then
  scripts/windows.sh
fi

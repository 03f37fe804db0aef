#!/usr/bin/env bash
# Sets up, builds with warnings as errors and runs every test; then the Windows program's
# two cross-builds and their tests under Wine; then builds the unit tests once more with
# AddressSanitizer and UndefinedBehaviorSanitizer and runs them again; last, each fuzz target
# runs for a short, fixed time.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/setup.sh
jobs=$(nproc)

cmake -S . -B build/release -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTAPEWRIGHT_WERROR=ON
cmake --build build/release -j"$jobs"
ctest --test-dir build/release --output-on-failure -j"$jobs"

# The Debian package, made from the same build, checked and played from a scratch root.
bash tools/check-package.sh "$(bash tools/package.sh build/release)"

# The Windows program, 64-bit and 32-bit, under Wine.
TAPEWRIGHT_JOBS=$jobs bash tools/test-windows.sh

cmake -S . -B build/sanitize -DCMAKE_BUILD_TYPE=Debug -DTAPEWRIGHT_WERROR=ON \
    -DTAPEWRIGHT_SANITIZE=ON -DTAPEWRIGHT_BENCHMARKS=OFF
cmake --build build/sanitize -j"$jobs" --target tapewright_tests
ctest --test-dir build/sanitize --output-on-failure -j"$jobs" --label-exclude e2e

# Each fuzz target for 30 seconds, so that a parser or engine regression shows here.
bash tools/fuzz.sh 30

#!/usr/bin/env bash
# Sets up, builds and starts the program (arguments are passed on: a file, a mode switch,
# /E, /D). Without an X display it says so and exits non-zero.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/setup.sh
cmake -S . -B build/release -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build/release -j"$(nproc)" --target tapewright
exec build/release/tapewright "$@"

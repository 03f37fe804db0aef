#!/usr/bin/env bash
# Sets up, builds and starts the program. Until the desktop program lands this runs the
# engine's benchmarks, the part of the program that already stands on its own.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/setup.sh
cmake -S . -B build/release -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build/release -j"$(nproc)" --target tapewright_bench
exec build/release/bench/tapewright_bench "$@"

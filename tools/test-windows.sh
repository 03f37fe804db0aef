#!/usr/bin/env bash
# Sets up the Windows cross-builds and Wine, builds the 32-bit and the 64-bit program with
# warnings as errors, and runs the unit and scenario suite of each under Wine (the 64-bit one
# natively, the 32-bit one through qemu where the kernel runs no 32-bit code).
# TAPEWRIGHT_JOBS sets the build's parallelism (default: every core).
set -euo pipefail
cd "$(dirname "$0")/.."
TAPEWRIGHT_WINDOWS=1 bash tools/setup.sh
jobs=${TAPEWRIGHT_JOBS:-$(nproc)}

for target in win64:x86_64 win32:i686; do
    folder=build/${target%%:*}
    cmake -S . -B "$folder" --toolchain "cmake/mingw-${target##*:}.cmake" \
        -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTAPEWRIGHT_WERROR=ON
    cmake --build "$folder" -j"$jobs"
    ctest --test-dir "$folder" --output-on-failure --label-exclude program_start
    # Only the tests that start the program may run once more: Wine under emulation now and
    # then stalls a program start, while a fault of ours fails both times.
    if ! ctest --test-dir "$folder" --output-on-failure --label-regex program_start; then
        echo "test-windows.sh: $folder: a program test failed; running the failed ones again" >&2
        ctest --test-dir "$folder" --output-on-failure --rerun-failed
    fi
done

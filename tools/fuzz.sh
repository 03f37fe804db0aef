#!/usr/bin/env bash
# Builds the fuzz targets with clang (ASan, UBSan, libFuzzer) and runs each one for the given
# number of seconds, one after the other: tools/fuzz.sh 3600 for an hour each,
# tools/fuzz.sh 30 macro_list settings for some of them. New inputs go to build/fuzz/corpus,
# crashes to build/fuzz/artifacts; the checked-in seeds under tests/fuzz/corpus stay as they
# are. Exits non-zero when a target finds a fault. JOBS sets the build's parallelism; FORK=N
# fuzzes each target in N processes at once (FORK=2 on a 2-core machine), which libFuzzer's
# single-threaded loop cannot do alone.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:?"usage: tools/fuzz.sh SECONDS [TARGET...]"}
shift
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(macro_playback macro_list settings command_line input_plan)

CC=clang CXX=clang++ cmake -S . -B build/fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DTAPEWRIGHT_WERROR=ON -DTAPEWRIGHT_FUZZ=ON >/dev/null
cmake --build build/fuzz -j"${JOBS:-$(nproc)}"

export ASAN_OPTIONS=${ASAN_OPTIONS:-abort_on_error=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1}
failed=()
for target in "${targets[@]}"; do
    corpus=build/fuzz/corpus/$target
    mkdir -p "$corpus" build/fuzz/artifacts
    options=(-max_total_time="$seconds" -max_len=4096 -timeout=10 -rss_limit_mb=2048
             -print_final_stats=1 -artifact_prefix="build/fuzz/artifacts/$target-")
    [ -f "tests/fuzz/$target.dict" ] && options+=(-dict="tests/fuzz/$target.dict")
    # Fork mode skips timeouts and out-of-memory runs unless told otherwise; both are faults here.
    [ "${FORK:-1}" -gt 1 ] && options+=(-fork="$FORK" -ignore_timeouts=0 -ignore_ooms=0)
    log=build/fuzz/$target.log
    if build/fuzz/tests/fuzz/fuzz_"$target" "${options[@]}" "$corpus" "tests/fuzz/corpus/$target" \
        >"$log" 2>&1; then
        # A single process prints final stats; fork mode's last "#N: cov: ..." line counts all.
        runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
        [ -n "$runs" ] || runs=$(sed -n 's/^#\([0-9]*\): cov:.*/\1/p' "$log" | tail -1)
        echo "fuzz $target: ${runs:-?} runs in ${seconds} s, no fault"
    else
        echo "fuzz $target: FAULT (see $log and build/fuzz/artifacts/)"
        grep -E "check failed|ERROR|runtime error|SUMMARY" "$log" | head -5 || true
        failed+=("$target")
    fi
done
[ ${#failed[@]} -eq 0 ] || { echo "faults found by: ${failed[*]}"; exit 1; }

#!/usr/bin/env bash
# Builds the fuzz targets with clang, libFuzzer, AddressSanitizer and
# UndefinedBehaviorSanitizer into build-fuzz/ and runs each one for the given
# number of seconds (default 60), starting from its seed corpus in
# fuzz/corpus/<target>/. Fails when any target finds a crash, a sanitizer
# report or a broken property; the input that did it is kept as
# build-fuzz/artifacts/<target>/crash-* (replay it with
# build-fuzz/fuzz/<target> <file>). New inputs found along the way go to
# build-fuzz/corpus/<target>/, never into the checked-in seeds.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds="${1:-60}"
if ! [[ "$seconds" =~ ^[0-9]+$ ]] || [ "$seconds" -eq 0 ]; then
    echo "usage: scripts/fuzz.sh [seconds per target, default 60]" >&2
    exit 2
fi

scripts/install-deps.sh clang libclang-rt-14-dev cmake ninja-build pkg-config qt6-base-dev libgl-dev

targets=(fuzz_parse fuzz_engineering_text fuzz_settings)
build=build-fuzz
# The libraries get the coverage instrumentation and the sanitizers; the
# targets add -fsanitize=fuzzer (fuzz/CMakeLists.txt), which links libFuzzer.
# An undefined-behaviour report must stop the run, not scroll past.
sanitize="-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer"

CC=clang CXX=clang++ cmake -S . -B "$build" -G Ninja \
    -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_CXX_FLAGS="$sanitize" \
    -DTUBEBRIDGE_BUILD_FUZZERS=ON \
    -DTUBEBRIDGE_BUILD_TESTS=OFF \
    -DTUBEBRIDGE_BUILD_BENCHMARKS=OFF
cmake --build "$build" --target "${targets[@]}"

# The settings target writes and syncs a file for every input: on a RAM disk
# that is several times faster.
if [ -z "${TMPDIR:-}" ] && [ -d /dev/shm ] && [ -w /dev/shm ]; then
    export TMPDIR=/dev/shm
fi
export ASAN_OPTIONS="${ASAN_OPTIONS:-abort_on_error=1:detect_leaks=1}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}"

failed=()
for target in "${targets[@]}"; do
    corpus="$build/corpus/$target"
    artifacts="$build/artifacts/$target"
    log="$build/logs/$target.log"
    mkdir -p "$corpus" "$artifacts" "$(dirname "$log")"
    echo "== $target: ${seconds} s"
    # The first folder receives what the run finds; the seeds are only read.
    if "$build/fuzz/$target" "$corpus" "fuzz/corpus/$target" \
        -max_total_time="$seconds" -timeout=10 -print_final_stats=1 \
        -artifact_prefix="$artifacts/" >"$log" 2>&1; then
        grep -E '^(Done|stat::number_of_executed_units|stat::peak_rss_mb)' "$log" || true
    else
        failed+=("$target")
        echo "-- $target FAILED; the end of $log:"
        tail -n 60 "$log"
    fi
done

if [ ${#failed[@]} -ne 0 ]; then
    echo "Fuzzing found problems in: ${failed[*]} (inputs in $build/artifacts/)" >&2
    exit 1
fi
echo "All fuzz targets ran ${seconds} s each without a finding."

#!/bin/bash
# Builds the fuzz targets natively and runs each for SECONDS (default 30) from its seed corpus;
# fails on any finding. Usage: run.sh BUILD_DIR [SECONDS]
set -u
here="$(cd "$(dirname "$0")" && pwd)"
build="$1"
seconds="${2:-30}"
cmake -S "$here" -B "$build" -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    > "$build.configure.log" 2>&1 || { cat "$build.configure.log"; exit 1; }
cmake --build "$build" -j "$(nproc)" > "$build.build.log" 2>&1 || { cat "$build.build.log"; exit 1; }

failed=0
for target in history_reader history_append history_remove command_line use_counts calculator \
    programs_list; do
    found="$(mktemp -d)"  # new inputs the run finds; the committed seeds stay as they are
    log="$build/$target.log"
    (cd "$build" && ./fuzz_$target -max_total_time="$seconds" -max_len=20000 -timeout=10 \
        -print_final_stats=1 "$found" "$here/corpus/$target" > "$log" 2>&1)
    status=$?
    runs=$(grep -m1 -oE 'stat::number_of_executed_units: *[0-9]+' "$log" | grep -oE '[0-9]+$')
    if [ "$status" -eq 0 ]; then
        echo "fuzz_$target: ${runs:-?} runs in ${seconds} s, no finding"
    else
        echo "fuzz_$target: FINDING (exit $status); the input is in $build"
        grep -E 'ERROR|SUMMARY|Test unit written|deadly signal' "$log" | head -20
        failed=1
    fi
    rm -rf "$found"
done
exit "$failed"

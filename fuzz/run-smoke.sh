#!/bin/sh
# Builds the fuzz harnesses into the given build folder with clang and runs each
# (fuzz_<name>, seeded from corpus/<name>/) for a short time on a copy of its
# seed corpus.
# Exits non-zero when a harness fails to build or finds a fault.
#   fuzz/run-smoke.sh <build folder> [seconds per harness]
set -u
if [ $# -lt 1 ]; then
    echo "usage: $0 <build folder> [seconds per harness]" >&2
    exit 2
fi
build=$1
seconds=${2:-10}
here=$(cd "$(dirname "$0")" && pwd)
source_dir=$(dirname "$here")
compiler=${CXX:-}
if [ -z "$compiler" ]; then
    for candidate in clang++-14 clang++; do
        if command -v "$candidate" >/dev/null 2>&1; then compiler=$candidate; break; fi
    done
fi
if [ -z "$compiler" ]; then
    echo "run-smoke: no clang++ found" >&2
    exit 2
fi

CXX=$compiler cmake -S "$source_dir" -B "$build" -G Ninja -DORDER_BUILD_FUZZERS=ON \
    -DORDER_BUILD_TESTS=OFF -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null || exit 1
cmake --build "$build" --target fuzzers || exit 1

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
status=0
for corpus in "$here"/corpus/*/; do
    name=$(basename "$corpus")
    mkdir -p "$work/$name"
    cp "$here/corpus/$name/"* "$work/$name/"
    if "$build/fuzz/fuzz_$name" -max_total_time="$seconds" -rss_limit_mb=2048 \
        -artifact_prefix="$work/$name-" -print_final_stats=0 "$work/$name" \
        >"$work/$name.log" 2>&1; then
        echo "fuzz_$name: passed ($(grep -c . "$work/$name.log") log lines)"
    else
        status=1
        echo "fuzz_$name: FAILED"
        grep -E "Property failed|ERROR|runtime error|File cut|records wholly|leadingNumber gave|amountText\(" \
            "$work/$name.log" | head -n 10
        for crash in "$work/$name"-*; do
            [ -f "$crash" ] && echo "  input: $(od -An -tx1 -v "$crash" | tr -s ' \n' ' ' | cut -c1-400)"
        done
    fi
done
exit $status

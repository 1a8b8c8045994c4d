#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test: the test
# suite, the same suite again under AddressSanitizer and UndefinedBehaviorSanitizer,
# and a short run of every fuzz harness. The benchmarks are built, not timed.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/packages.sh
install_missing "${program_packages[@]}" "${test_packages[@]}"

export QT_QPA_PLATFORM=offscreen
jobs=$(nproc)

echo "== Build and test"
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DORDER_BUILD_TESTS=ON -DORDER_BUILD_BENCHMARKS=ON
cmake --build build -j "$jobs"
ctest --test-dir build --output-on-failure -j "$jobs"

echo "== Test under AddressSanitizer and UndefinedBehaviorSanitizer"
cmake -S . -B build-sanitize -G Ninja -DCMAKE_BUILD_TYPE=Debug -DORDER_BUILD_TESTS=ON -DORDER_SANITIZE=ON
cmake --build build-sanitize -j "$jobs"
ASAN_OPTIONS=detect_leaks=0:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    ctest --test-dir build-sanitize --output-on-failure -j "$jobs"

if [ -x fuzz/run-smoke.sh ]; then
    echo "== Short fuzz runs"
    fuzz/run-smoke.sh build-fuzz
fi

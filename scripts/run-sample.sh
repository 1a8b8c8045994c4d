#!/usr/bin/env bash
# Installs what is missing, builds the program into build/ and opens it on the
# bundled sample data (copied beside the program on the first build).
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/packages.sh
install_missing "${program_packages[@]}"

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DORDER_BUILD_TESTS=OFF
cmake --build build --target orderregistrering

if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
    exec build/src/orderregistrering
else
    echo "No display: opening the program on a virtual screen (xvfb-run)."
    exec xvfb-run -a -s "-screen 0 1280x1024x24" build/src/orderregistrering
fi

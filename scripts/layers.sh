#!/usr/bin/env bash
# Lists each of the program's targets with what it links directly: the layers
# below it and its Qt modules. Reads the targets, lowest first, from
# src/CMakeLists.txt and the dependency graph CMake writes.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
[ -f "$build/CMakeCache.txt" ] || cmake -S . -B "$build" -G Ninja >/dev/null
graph=$(mktemp -d)
trap 'rm -rf "$graph"' EXIT
cmake --graphviz="$graph/deps.dot" "$build" >/dev/null
for target in $(sed -nE 's/^add_(library|executable)\(([a-z]+)[ )].*/\2/p' src/CMakeLists.txt); do
    file="$graph/deps.dot.$target"
    [ -f "$file" ] || continue
    links=$(awk -v target="$target" '
        /\[ label = / {
            match($0, /"node[0-9]+"/); id = substr($0, RSTART, RLENGTH)
            match($0, /label = "[^"]+"/); name[id] = substr($0, RSTART + 9, RLENGTH - 10)
        }
        / -> / {
            match($0, /"node[0-9]+" -> "node[0-9]+"/); split(substr($0, RSTART, RLENGTH), ends, " -> ")
            links[ends[1]] = links[ends[1]] " " ends[2]
        }
        END {
            for (id in name) {
                if (name[id] != target) continue
                n = split(links[id], to, " ")
                for (i = 1; i <= n; i++) if (name[to[i]] != "Qt6::moc") printf "%s ", name[to[i]]
            }
        }' "$file")
    printf '%-18s %s\n' "$target" "$links"
done

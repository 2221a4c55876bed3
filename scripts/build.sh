#!/usr/bin/env bash
# Configures and builds into ./build (Release with debug info); with
# --programs only the programs, without the tests and benchmarks.
set -euo pipefail
cd "$(dirname "$0")/.."
if [ "${1:-}" = "--programs" ]; then
    cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DDW_BUILD_TESTS=OFF ${DW_CMAKE_ARGS:-} >/dev/null
    cmake --build build -j"$(nproc)" --target krv krt dwlog dashwright-sim dashwright-radio
else
    cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DDW_BUILD_TESTS=ON ${DW_CMAKE_ARGS:-} >/dev/null
    cmake --build build -j"$(nproc)"
fi

#!/usr/bin/env bash
# Sets everything up, builds a Release build in build/ and starts the program.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release -DORVANTA_SANITIZE=OFF -DORVANTA_TESTS=OFF
cmake --build build
exec build/orvanta

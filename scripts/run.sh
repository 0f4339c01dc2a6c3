#!/usr/bin/env bash
# Installs what is missing, builds Veltrano and starts it on its shipped catalogue.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j"$(nproc)"
exec ./build/bin/veltrano

#!/usr/bin/env bash
# Installs what is missing, builds Veltrano and starts it on its shipped catalogue.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j"$(nproc)"
exec ./build/bin/veltrano-limits --seam butt --level C --t 10 --l 100 --b 12 --bw 2 "$@"

#!/usr/bin/env bash
# Installs what is missing, builds Veltrano and runs every test: once in a
# normal build, once more under AddressSanitizer and UndefinedBehaviorSanitizer;
# in between it builds the Debian package and checks it, and checks the
# cores on Windows and with Clang.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/install-deps.sh
jobs="$(nproc)"

cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j"$jobs"
QT_QPA_PLATFORM=offscreen ctest --test-dir build --output-on-failure -j"$jobs"

# The Debian package, built from a release build and checked unpacked; CI
# (VELTRANO_PACKAGE_APT_CHECK=1) also installs and removes it with apt-get.
./scripts/package.sh
if [ "${VELTRANO_PACKAGE_APT_CHECK:-0}" = 1 ]; then
  ./scripts/check-package.sh --apt
else
  ./scripts/check-package.sh
fi

# The cores on Windows (MinGW-w64 and Wine) and everything with Clang.
./scripts/portability-check.sh

cmake -S . -B build-sanitize -DCMAKE_BUILD_TYPE=Debug -DVELTRANO_SANITIZE=ON -DVELTRANO_WITH_BENCHMARKS=OFF
cmake --build build-sanitize -j"$jobs"
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1"
export LSAN_OPTIONS="suppressions=$PWD/tests/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
QT_QPA_PLATFORM=offscreen ctest --test-dir build-sanitize --output-on-failure -j"$jobs"

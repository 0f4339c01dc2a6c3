#!/usr/bin/env bash
# The standard-C++ cores (the evaluation core and the record core) on other
# compilers and systems:
#  - cross-built for 64-bit Windows with MinGW-w64, their tests run under Wine;
#  - built with Clang against LLVM's libc++.
# The whole program is built with Clang by ./scripts/test.sh (its sanitizer
# build). Installs what it needs (Debian 12); with --install-only it only does that.
set -euo pipefail
cd "$(dirname "$0")/.."
jobs="$(nproc)"
export CCACHE_BASEDIR="$PWD"

packages=(g++-mingw-w64-x86-64-posix wine64 googletest clang libc++-dev libc++abi-dev)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  sudo=""
  if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi
  export DEBIAN_FRONTEND=noninteractive
  $sudo apt-get -o DPkg::Lock::Timeout=600 update
  $sudo apt-get -o DPkg::Lock::Timeout=600 install -y --no-install-recommends "${missing[@]}"
fi
[ "${1:-}" = "--install-only" ] && exit 0

launcher=()
if command -v ccache >/dev/null; then launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache); fi

echo "== Windows (MinGW-w64, tests under Wine)"
export WINEDEBUG=-all WINEPREFIX="$PWD/build-mingw/wineprefix"
cmake -S . -B build-mingw "${launcher[@]}" -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake -DVELTRANO_CORE_ONLY=ON \
  -DCMAKE_BUILD_TYPE=Release
cmake --build build-mingw -j"$jobs"
# One at a time: two programs starting Wine at once in a new prefix race
# for its server.
ctest --test-dir build-mingw --output-on-failure

echo "== Clang with libc++ (the cores)"
cmake -S . -B build-libcxx "${launcher[@]}" -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_CXX_FLAGS=-stdlib=libc++ \
  -DCMAKE_EXE_LINKER_FLAGS=-stdlib=libc++ -DVELTRANO_WITH_GUI=OFF -DVELTRANO_WITH_BENCHMARKS=OFF
cmake --build build-libcxx -j"$jobs" --target veltrano_evaluation veltrano_record

#!/usr/bin/env bash
# Builds the Debian package dist/veltrano_<version>_<arch>.deb: a release
# build installed under /usr, its library dependencies read off the
# executables by dpkg-shlibdeps.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/install-deps.sh

# Debian's hardening flags, as dpkg-buildpackage would hand them to a package.
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
cxxflags="$(dpkg-buildflags --get CPPFLAGS) $(dpkg-buildflags --get CXXFLAGS)"
ldflags="$(dpkg-buildflags --get LDFLAGS)"

launcher=()
if command -v ccache >/dev/null; then launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache); fi
cmake -S . -B build-package "${launcher[@]}" -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr \
      -DVELTRANO_WITH_TESTS=OFF -DVELTRANO_WITH_BENCHMARKS=OFF -DVELTRANO_SANITIZE=OFF \
      -DCMAKE_CXX_FLAGS="$cxxflags" -DCMAKE_EXE_LINKER_FLAGS="$ldflags"
cmake --build build-package -j"$(nproc)"
rm -f build-package/veltrano_*.deb
(cd build-package && cpack -G DEB)

mkdir -p dist
rm -f dist/veltrano_*.deb
cp build-package/veltrano_*.deb dist/
ls dist/veltrano_*.deb

#!/usr/bin/env bash
# Installs what is missing, builds Veltrano and runs every test, then prints
# how long each stage took.
#
#  1. everything (program, tool, tests, benchmarks) built with Clang under
#     AddressSanitizer and UndefinedBehaviorSanitizer, and the whole suite run
#     in that build: one build checks Clang's warnings and the sanitizers;
#  2. the Debian package, a release build with GCC and Debian's hardening
#     flags, checked unpacked (CI, VELTRANO_PACKAGE_APT_CHECK=1, also installs
#     and removes it with apt-get);
#  3. the standard-C++ cores on Windows (MinGW-w64, their tests under Wine)
#     and against LLVM's libc++.
# 2 and 3 run beside the suite, which mostly waits on windows and timers.
# Each build uses ccache when it is installed, so a second run is quick.
set -euo pipefail
cd "$(dirname "$0")/.."
jobs="$(nproc)"
export CCACHE_BASEDIR="$PWD"

stage_names=()
stage_times=()
stage_start=$SECONDS
begin() { stage_start=$SECONDS; echo "== $1"; stage_names+=("$1"); }
end() { stage_times+=($((SECONDS - stage_start))); }
summary() {
  local status=$?
  echo
  echo "Stage times:"
  local i
  for i in "${!stage_names[@]}"; do
    if [ -n "${stage_times[$i]:-}" ]; then
      printf '  %-58s %4d s\n' "${stage_names[$i]}" "${stage_times[$i]}"
    else
      printf '  %-58s %s\n' "${stage_names[$i]}" "(did not finish)"
    fi
  done
  printf '  %-58s %4d s\n' "whole run" "$SECONDS"
  exit $status
}
trap summary EXIT

begin "installing the build dependencies"
./scripts/install-deps.sh
end
launcher=()
if command -v ccache >/dev/null; then launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache); fi

# The cross toolchain and Wine are only needed at the end: they are fetched
# while the first build runs.
portability_log="$(mktemp)"
./scripts/portability-check.sh --install-only >"$portability_log" 2>&1 &
portability_install=$!

begin "building everything with Clang, ASan and UBSan"
cmake -S . -B build-sanitize "${launcher[@]}" -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG=-g1 \
  -DVELTRANO_SANITIZE=ON
cmake --build build-sanitize -j"$jobs"
end

begin "the suite under the sanitizers; beside it the package and the cores on Windows and libc++"
package_log="$(mktemp)"
(
  ./scripts/package.sh
  if [ "${VELTRANO_PACKAGE_APT_CHECK:-0}" = 1 ]; then
    ./scripts/check-package.sh --apt
  else
    ./scripts/check-package.sh
  fi
) >"$package_log" 2>&1 &
package=$!
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1"
export LSAN_OPTIONS="suppressions=$PWD/tests/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
suite_status=0
QT_QPA_PLATFORM=offscreen ctest --test-dir build-sanitize --output-on-failure -j"$jobs" || suite_status=$?
unset ASAN_OPTIONS LSAN_OPTIONS UBSAN_OPTIONS

# The cores on Windows (MinGW-w64 and Wine) and against libc++, while the
# package's release build goes on.
portability_status=0
wait "$portability_install" || portability_status=$?
if [ "$portability_status" -eq 0 ]; then
  ./scripts/portability-check.sh || portability_status=$?
else
  cat "$portability_log"
fi
rm -f "$portability_log"

package_status=0
wait "$package" || package_status=$?
echo "-- the Debian package:"
if [ "$package_status" -ne 0 ]; then
  cat "$package_log"
else
  grep -E '^(ok:|FAILED:|Checking|dist/)' "$package_log" || true
fi
rm -f "$package_log"
[ "$suite_status" -eq 0 ] && [ "$portability_status" -eq 0 ] && [ "$package_status" -eq 0 ]
end

#!/usr/bin/env bash
# Builds everything with AddressSanitizer and UndefinedBehaviorSanitizer into build-sanitize/
# and runs every suite there; any finding fails the run.
#
# The quorvane-office worker is instrumented like the rest and still hosts the uninstrumented
# LibreOffice: the sanitizer runtime is linked into the worker, so LibreOffice's allocations go
# through it too and our side of every buffer handed across is checked, while LibreOffice's own
# code is not. Nothing of LibreOffice needs suppressing: the worker ends with _exit (LibreOffice
# cannot be torn down cleanly), so the leak check, which runs at exit, never sees its heap; our
# programs and tests end normally and keep it.
#
# Usage: scripts/sanitize.sh [ctest arguments, e.g. -R test_jobs]; QV_JOBS sets the parallel jobs.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/setup.sh

launcher=()
if command -v ccache >/dev/null; then
  launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
flags="-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer"
cmake -S . -B build-sanitize -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "${launcher[@]}" \
  -DCMAKE_C_FLAGS="$flags" -DCMAKE_CXX_FLAGS="$flags" \
  -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=address,undefined" >/dev/null
cmake --build build-sanitize -j"${QV_JOBS:-$(nproc)}"

# The environment reaches every child: the program under test and its workers. A finding
# aborts the process (a crash no test takes for an expected failure). AddressSanitizer writes
# its reports to files, as a test may swallow the program's standard error; UndefinedBehavior-
# Sanitizer cannot, so the worker's standard error (otherwise thrown away) is kept and searched.
reports="$PWD/build-sanitize/sanitizer-reports"
rm -rf "$reports" && mkdir -p "$reports"
export ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}abort_on_error=1:log_path=$reports/report:log_exe_name=1"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:+$UBSAN_OPTIONS:}abort_on_error=1:print_stacktrace=1"
export QV_OFFICE_LOG="$reports/office-stderr.log"
status=0
(cd build-sanitize && ctest --output-on-failure -j"${QV_JOBS:-$(nproc)}" --timeout 1800 "$@") || status=$?
if compgen -G "$reports/report*" >/dev/null; then
  cat "$reports"/report*
  status=1
fi
if grep -s -A40 -E "runtime error:|Sanitizer" "$QV_OFFICE_LOG"; then
  status=1
fi
[ $status -eq 0 ] || echo "sanitize: failed; reports in $reports" >&2
exit $status

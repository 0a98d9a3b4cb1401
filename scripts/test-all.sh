#!/usr/bin/env bash
# Sets up a fresh machine and runs every test: the normal build, the core and server tests again
# under AddressSanitizer and UndefinedBehaviorSanitizer (with the application's re-login tests),
# then under ThreadSanitizer, and a short run of each fuzz target. The service's tests run against
# sqlite and against a throwaway PostgreSQL cluster that each test run starts and stops; the
# application's tests keep remembered passwords in a throwaway secret service of their own.
set -euo pipefail
cd "$(dirname "$0")/.."

fuzz_seconds=${HSSCHOOL_FUZZ_SECONDS:-30}
export HSSCHOOL_QUIET=1
export QT_QPA_PLATFORM=offscreen

bash scripts/install-deps.sh

echo "== normal build and all tests"
cmake --preset default
cmake --build --preset default
bash scripts/with-postgres.sh bash scripts/with-secret-service.sh ctest --preset default

# Every interface file must pass the QML linter without a single warning.
echo "== qmllint"
lint_output=$(cmake --build --preset default --target hsschool_app_qmllint 2>&1) || true
echo "$lint_output"
if grep -q "^Warning" <<<"$lint_output"; then
  echo "qmllint reported warnings" >&2
  exit 1
fi

echo "== core and server tests under ASan+UBSan"
cmake --preset asan
cmake --build --preset asan
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 bash scripts/with-postgres.sh ctest --preset asan -L core

# Closing screens while their calls are still out, in the application's own window: only the
# test program is built, and only those tests run (the Qt libraries are not instrumented).
echo "== re-login and task runner tests of the application under ASan+UBSan"
cmake --preset asan-app
cmake --build --preset asan-app
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 ctest --preset asan-app

# Any report fails the run. The test preset adds ignore_noninstrumented_modules=1: the libraries
# from the distribution are not instrumented, so ThreadSanitizer cannot see their own
# synchronisation and would report their internal memory calls as races (see the README).
echo "== core and server tests under ThreadSanitizer"
cmake --preset tsan
cmake --build --preset tsan
TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1" bash scripts/with-postgres.sh ctest --preset tsan -L core

echo "== fuzz targets, ${fuzz_seconds} s each"
cmake --preset fuzz
cmake --build --preset fuzz
found=0
while IFS= read -r target; do
  found=1
  corpus_dir=$(mktemp -d)
  seeds="fuzz/$(basename "$(dirname "$target")")/corpus"
  echo "-- $(basename "$target")"
  inputs=("$corpus_dir")
  [ -d "$seeds" ] && inputs+=("$seeds")
  "$target" -max_total_time="$fuzz_seconds" -rss_limit_mb=2048 -print_final_stats=1 "${inputs[@]}"
  rm -rf "$corpus_dir"
done < <(find build/fuzz/fuzz -type f -perm -u+x -name 'fuzz_*' | sort)
[ "$found" = 1 ] || { echo "no fuzz targets were built" >&2; exit 1; }

echo "== all tests passed"

#!/usr/bin/env bash
# Installs what is missing, builds everything with AddressSanitizer and
# UndefinedBehaviorSanitizer, runs every test under Xvfb, builds the benchmarks,
# then builds the fuzz targets with clang and runs each briefly on its corpus.
#   BW_FUZZ_SECONDS   seconds per fuzz target (default 5; 0 skips fuzzing)
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install-deps.sh" --test || exit 1

jobs=$(nproc)
status=0

# --- Unit tests ---------------------------------------------------------------
build="$root/build/asan"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug \
  -DBW_SANITIZE=ON -DBW_WERROR=ON -DBW_TESTS=ON -DBW_BENCH=ON >/dev/null || exit 1
cmake --build "$build" -j "$jobs" || exit 1

runtime=$(mktemp -d)
chmod 700 "$runtime"
export XDG_RUNTIME_DIR="$runtime"
export SDL_AUDIODRIVER=dummy
# intercept_tls_get_addr=0: the runtime can take a dynamic TLS block for an old
# glibc layout by coincidence, and the leak check at exit then crashes.
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=0:strict_string_checks=1:intercept_tls_get_addr=0"
export LSAN_OPTIONS="suppressions=$root/scripts/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
(cd "$build" && xvfb-run -a -s "-screen 0 1366x768x24" \
  ctest --output-on-failure -j "$jobs" --timeout 300) || status=1

# --- Fuzz targets -------------------------------------------------------------
seconds=${BW_FUZZ_SECONDS:-5}
if [[ "$seconds" != 0 && -n "$(ls "$root"/fuzz/*.cpp 2>/dev/null)" ]]; then
  fbuild="$root/build/fuzz"
  CC=clang CXX=clang++ cmake -S "$root" -B "$fbuild" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DBW_FUZZ=ON >/dev/null || exit 1
  cmake --build "$fbuild" -j "$jobs" || exit 1
  for target in "$fbuild"/fuzz/fuzz_*; do
    name=${target##*/fuzz_}
    work=$(mktemp -d)
    corpus=()
    [[ -d "$root/fuzz/corpus/$name" ]] && corpus+=("$root/fuzz/corpus/$name")
    echo "fuzz: $name for ${seconds}s"
    if ! "$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
        -artifact_prefix="$work/" "$work" "${corpus[@]}" >"$work/log" 2>&1; then
      echo "fuzz: $name found a fault:"; tail -n 60 "$work/log"; status=1
    fi
  done
fi

rm -rf "$runtime"
if [[ $status -eq 0 ]]; then echo "All tests passed."; else echo "Some tests failed."; fi
exit $status

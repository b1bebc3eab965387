#!/usr/bin/env bash
# Builds and runs every test suite: the unit, drawing and command-line
# tests; the unit tests again under AddressSanitizer and
# UndefinedBehaviorSanitizer; a short fuzzing run of the file reader.
# Ends with one line "N passed, N failed" counting the suites.
set -u
cd "$(dirname "$0")/.."
JOBS=${JOBS:-2}
FUZZ_SECONDS=${FUZZ_SECONDS:-60}
passed=0
failed=0
failed_names=()

suite() {
  local name=$1
  shift
  echo "== $name"
  if "$@"; then
    passed=$((passed + 1))
  else
    failed=$((failed + 1))
    failed_names+=("$name")
  fi
}

build_main() {
  cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null &&
    cmake --build build -j"$JOBS"
}

run_ctest() {
  # A test that waits for ever (a dialog nobody answers) fails after 5 min.
  (cd build && ctest --output-on-failure --timeout 300 -j"$JOBS")
}

build_asan() {
  cmake -S . -B build/asan -DCMAKE_BUILD_TYPE=Debug -DQBN_SANITIZE=ON \
    -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ >/dev/null &&
    cmake --build build/asan -j"$JOBS" --target core_tests
}

run_asan() {
  ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    build/asan/core_tests --gtest_brief=1
}

build_fuzz() {
  cmake -S . -B build/fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQBN_FUZZ=ON \
    -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ >/dev/null &&
    cmake --build build/fuzz -j"$JOBS" --target fuzz_reader fuzz_crc_seek
}

run_fuzz() {
  local work=build/fuzz/work
  rm -rf "$work" && mkdir -p "$work/reader" "$work/crc"
  # Half the time for each harness; new inputs go to scratch folders, the
  # committed corpus is only read.
  local half=$((FUZZ_SECONDS / 2))
  build/fuzz/fuzz_reader -max_total_time="$half" -max_len=8192 -dict=tests/fuzz/xml.dict \
    -artifact_prefix="$work/" "$work/reader" tests/fuzz/corpus 2>"$work/reader.log" &&
    build/fuzz/fuzz_crc_seek -max_total_time="$half" -max_len=8192 \
      -artifact_prefix="$work/" "$work/crc" tests/fuzz/corpus 2>"$work/crc.log"
  local rc=$?
  tail -n 3 "$work/reader.log" "$work/crc.log"
  return $rc
}

if [ "${1:-}" = "--fuzz-only" ]; then
  # Each harness runs for FUZZ_SECONDS.
  FUZZ_SECONDS=$((FUZZ_SECONDS * 2))
  build_fuzz && run_fuzz
  exit
fi

suite "build" build_main
suite "unit, drawing and command-line tests" run_ctest
if suite "build (sanitizers)" build_asan; then
  suite "unit tests under ASan+UBSan" run_asan
fi
if suite "build (fuzzers)" build_fuzz; then
  suite "fuzzing the reader for ${FUZZ_SECONDS}s" run_fuzz
fi

echo
if [ "$failed" -gt 0 ]; then
  echo "failed suites: ${failed_names[*]}"
fi
echo "suites: $passed passed, $failed failed"
[ "$failed" -eq 0 ]

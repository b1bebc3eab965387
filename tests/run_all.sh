#!/usr/bin/env bash
# Builds and runs every test suite: the unit, drawing and command-line
# tests; the unit tests again under AddressSanitizer and
# UndefinedBehaviorSanitizer; a short fuzzing run of every reader of outside
# text.
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
    cmake --build build/fuzz -j"$JOBS" --target fuzz_reader fuzz_crc_seek fuzz_measurement \
      fuzz_filter_text
}

# Each harness: its name, its seed corpus and its dictionary (none: "").
HARNESSES=(
  "reader tests/fuzz/corpus tests/fuzz/xml.dict"
  "crc_seek tests/fuzz/corpus"
  "measurement tests/fuzz/corpus_measurement tests/fuzz/measurement.dict"
  "filter_text tests/fuzz/corpus_filter_text tests/fuzz/filter_text.dict"
)

run_fuzz() {
  local work=build/fuzz/work rc=0 name corpus dict
  rm -rf "$work" && mkdir -p "$work"
  # FUZZ_SECONDS shared by the harnesses (at least a second each); new
  # inputs go to scratch folders, the committed corpora are only read.
  local share=$((FUZZ_SECONDS / ${#HARNESSES[@]}))
  [ "$share" -ge 1 ] || share=1
  for entry in "${HARNESSES[@]}"; do
    read -r name corpus dict <<<"$entry"
    mkdir -p "$work/$name"
    build/fuzz/fuzz_"$name" -max_total_time="$share" -max_len=8192 ${dict:+-dict="$dict"} \
      -artifact_prefix="$work/$name-" "$work/$name" "$corpus" 2>"$work/$name.log" || rc=1
    tail -n 2 "$work/$name.log"
    [ "$rc" -eq 0 ] || break
  done
  return $rc
}

if [ "${1:-}" = "--fuzz-only" ]; then
  # Each harness runs for FUZZ_SECONDS.
  FUZZ_SECONDS=$((FUZZ_SECONDS * ${#HARNESSES[@]}))
  build_fuzz && run_fuzz
  exit
fi

suite "build" build_main
suite "unit, drawing and command-line tests" run_ctest
if suite "build (sanitizers)" build_asan; then
  suite "unit tests under ASan+UBSan" run_asan
fi
if suite "build (fuzzers)" build_fuzz; then
  suite "fuzzing the readers for ${FUZZ_SECONDS}s" run_fuzz
fi

echo
if [ "$failed" -gt 0 ]; then
  echo "failed suites: ${failed_names[*]}"
fi
echo "suites: $passed passed, $failed failed"
[ "$failed" -eq 0 ]

#!/usr/bin/env bash
# Builds and runs every test suite: the unit, drawing and command-line
# tests; the unit tests again under AddressSanitizer and
# UndefinedBehaviorSanitizer; a short fuzzing run of every reader of outside
# text. Ends with one line "N passed, N failed" counting the suites.
set -u
cd "$(dirname "$0")/.."
JOBS=${JOBS:-2}
FUZZ_SECONDS=${FUZZ_SECONDS:-60}
passed=0 failed=0 failed_names=()

suite() {
  echo "== $1"
  if "${@:2}"; then passed=$((passed + 1)) && return 0; fi
  failed=$((failed + 1)) failed_names+=("$1")
  return 1
}

# configure FOLDER CMAKE_OPTION...: cmake's configure step, quietly.
configure() { cmake -S . -B "$1" "${@:2}" >/dev/null; }
clang=(-DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++)

build_main() { configure build -DCMAKE_BUILD_TYPE=RelWithDebInfo && cmake --build build -j"$JOBS"; }

# A test that waits for ever (a dialog nobody answers) fails after 5 min.
run_ctest() { (cd build && ctest --output-on-failure --timeout 300 -j"$JOBS"); }

build_asan() {
  configure build/asan -DCMAKE_BUILD_TYPE=Debug -DQBN_SANITIZE=ON "${clang[@]}" &&
    cmake --build build/asan -j"$JOBS" --target core_tests
}

run_asan() {
  ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    build/asan/core_tests --gtest_brief=1
}

build_fuzz() {
  configure build/fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQBN_FUZZ=ON "${clang[@]}" &&
    cmake --build build/fuzz -j"$JOBS" --target fuzz_reader fuzz_crc_seek fuzz_measurement \
      fuzz_filter_text
}

# Each harness: its name, its starting corpus and its dictionary (none: "").
HARNESSES=(
  "reader tests/fuzz/corpus tests/fuzz/xml.dict"
  "crc_seek tests/fuzz/corpus"
  "measurement tests/fuzz/corpus_measurement tests/fuzz/measurement.dict"
  "filter_text tests/fuzz/corpus_filter_text tests/fuzz/filter_text.dict"
)

# FUZZ_SECONDS shared by the harnesses (at least a second each); new inputs
# go to scratch folders, the committed corpora are only read.
run_fuzz() {
  local work=build/fuzz/work name corpus dict
  local share=$((FUZZ_SECONDS / ${#HARNESSES[@]}))
  rm -rf "$work" && mkdir -p "$work"
  for entry in "${HARNESSES[@]}"; do
    read -r name corpus dict <<<"$entry"
    mkdir -p "$work/$name"
    build/fuzz/fuzz_"$name" -max_total_time="$((share > 0 ? share : 1))" -max_len=8192 \
      ${dict:+-dict="$dict"} -artifact_prefix="$work/$name-" "$work/$name" "$corpus" \
      2>"$work/$name.log"
    local rc=$?
    tail -n 2 "$work/$name.log"
    [ "$rc" -eq 0 ] || return 1
  done
}

if [ "${1:-}" = "--fuzz-only" ]; then  # each harness runs for FUZZ_SECONDS
  FUZZ_SECONDS=$((FUZZ_SECONDS * ${#HARNESSES[@]}))
  build_fuzz && run_fuzz
  exit
fi

suite "build" build_main
suite "unit, drawing and command-line tests" run_ctest
if suite "build (sanitizers)" build_asan; then suite "unit tests under ASan+UBSan" run_asan; fi
if suite "build (fuzzers)" build_fuzz; then suite "fuzzing the readers for ${FUZZ_SECONDS}s" run_fuzz; fi

echo
[ "$failed" -eq 0 ] || echo "failed suites: ${failed_names[*]}"
echo "suites: $passed passed, $failed failed"
[ "$failed" -eq 0 ]

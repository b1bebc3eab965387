// The harnesses' invariants: one that does not hold names itself and stops
// the run, which libFuzzer reports with the input.
#pragma once

#include <cstdio>
#include <cstdlib>

inline void check(bool ok, const char* what) {
  if (!ok) {
    std::fprintf(stderr, "invariant broken: %s\n", what);
    std::abort();
  }
}

// The check of the fuzz targets' entries: an input that breaks a rule aborts, so that the fuzzer keeps it and
// the corpus test fails.
#pragma once
#include <cstdio>
#include <cstdlib>

namespace fuzz {

inline void Require(bool condition, const char *what) {
  if (condition) return;
  std::fprintf(stderr, "fuzz rule broken: %s\n", what);
  std::abort();
}

} // namespace fuzz

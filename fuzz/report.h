// Turns broken properties into a crash libFuzzer records, with the reasons on stderr.
#pragma once

#include <cstdio>
#include <cstdlib>

#include "properties.h"

namespace quarvel::fuzz {

inline void stop_on(const Findings& findings) {
  if (findings.empty()) return;
  for (const std::string& line : findings) std::fprintf(stderr, "broken: %s\n", line.c_str());
  std::abort();
}

}  // namespace quarvel::fuzz

// Runs one quarvel-convert command over its files: each file is read, described or converted and
// let go before the next, and one that fails is reported in a line of its own while the others
// go on.
#pragma once

#include <cstdio>

#include "convert_options.h"

namespace quarvel {

// Writes what info says to `out`, progress and one line per file that failed to `err`. Returns
// the exit status: 0 when every file was done, 1 when any was not.
int run_convert(const ConvertOptions& options, std::FILE* out, std::FILE* err);

}  // namespace quarvel

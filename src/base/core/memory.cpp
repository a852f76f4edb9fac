#include "core/memory.h"

#include <cstdint>

#ifdef __linux__
#include <sys/mman.h>
#endif

namespace quarvel {

void advise_huge_pages(void* p, std::size_t bytes) {
#ifdef __linux__
  constexpr std::uintptr_t kHuge = std::uintptr_t{2} << 20;
  const auto at = reinterpret_cast<std::uintptr_t>(p);
  const std::uintptr_t from = (at + kHuge - 1) / kHuge * kHuge;
  const std::uintptr_t to = (at + bytes) / kHuge * kHuge;
  if (to > from) ::madvise(reinterpret_cast<void*>(from), to - from, MADV_HUGEPAGE);
#else
  (void)p;
  (void)bytes;
#endif
}

}  // namespace quarvel

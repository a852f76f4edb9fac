#include "core/memory.h"

#include <algorithm>
#include <cstdint>
#include <new>

#ifdef __linux__
#include <sys/mman.h>
#endif

namespace quarvel {

namespace {
constexpr std::uintptr_t kHuge = std::uintptr_t{2} << 20;
}

void advise_huge_pages(void* p, std::size_t bytes) {
#ifdef __linux__
  const auto at = reinterpret_cast<std::uintptr_t>(p);
  const std::uintptr_t from = (at + kHuge - 1) / kHuge * kHuge;
  const std::uintptr_t to = (at + bytes) / kHuge * kHuge;
  if (to > from) ::madvise(reinterpret_cast<void*>(from), to - from, MADV_HUGEPAGE);
#else
  (void)p;
  (void)bytes;
#endif
}

HugeBlock map_huge_block(std::size_t bytes) {
#ifdef __linux__
  // Mapped a huge page longer, so that the part kept can start on a huge-page boundary.
  const std::size_t kept = (std::max<std::size_t>(bytes, 1) + kHuge - 1) / kHuge * kHuge;
  const std::size_t mapped = kept + kHuge;
  void* m = ::mmap(nullptr, mapped, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (m == MAP_FAILED) throw std::bad_alloc();
  char* base = static_cast<char*>(m);
  const auto at = reinterpret_cast<std::uintptr_t>(base);
  char* start = base + (kHuge - at % kHuge) % kHuge;
  if (start > base) ::munmap(base, static_cast<std::size_t>(start - base));
  char* end = start + kept;
  if (end < base + mapped) ::munmap(end, static_cast<std::size_t>(base + mapped - end));
  ::madvise(start, kept, MADV_HUGEPAGE);
  return HugeBlock{start, kept};
#else
  (void)bytes;
  return HugeBlock{};
#endif
}

void unmap_huge_block(HugeBlock block) {
#ifdef __linux__
  if (block.data) ::munmap(block.data, block.bytes);
#else
  (void)block;
#endif
}

}  // namespace quarvel

// Page-level hints for long arrays. A day of samples at 1 kHz is hundreds of megabytes; touched
// 4 kB at a time, its page faults cost more than reading the file, and reading it a few scattered
// values at a time (a long view) misses the address cache on nearly every read. Long arrays
// therefore ask the system for huge pages where it hands them out on request.
#pragma once

#include <cstddef>

namespace quarvel {

// Asks for huge pages for the whole huge pages inside p..p+bytes (memory not touched yet gains
// most). Nothing happens where the system has no such request.
void advise_huge_pages(void* p, std::size_t bytes);

// Blocks from this size on are worth mapping in huge pages.
constexpr std::size_t kHugeBlockFrom = std::size_t{4} << 20;

// Memory straight from the system, starting on a huge-page boundary and asked for in huge pages,
// reading as zeros until written. `bytes` is what was mapped (a whole number of huge pages).
struct HugeBlock {
  void* data = nullptr;
  std::size_t bytes = 0;
};
// At least `bytes` bytes; throws std::bad_alloc when the system has none. Where the system maps no
// such memory, data stays null and the caller allocates as usual.
HugeBlock map_huge_block(std::size_t bytes);
void unmap_huge_block(HugeBlock block);

}  // namespace quarvel

// Page-level hints for long arrays. A day of samples at 1 kHz is hundreds of megabytes; touched
// 4 kB at a time, its page faults cost more than reading the file, so long arrays ask the system
// for huge pages where it hands them out on request.
#pragma once

#include <cstddef>

namespace quarvel {

// Asks for huge pages for the whole huge pages inside p..p+bytes (memory not touched yet gains
// most). Nothing happens where the system has no such request.
void advise_huge_pages(void* p, std::size_t bytes);

}  // namespace quarvel

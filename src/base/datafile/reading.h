// Pieces shared by the .bin and .prn readers: progress reports, the user's channel-count answer,
// and reading fixed-size records from a device in portions.
#pragma once

#include <QString>
#include <cstdint>
#include <functional>

#include "datafile/result.h"

class QIODevice;

namespace quarvel {

// Told the share of the data read so far, 0..100, after each portion and 100 at the end; the
// program moves the bar of its progress window with it.
using ReadProgress = std::function<void(int percent)>;

// The channel count typed into the "Number of recorded channels:" box: a number (blanks around it
// allowed, rounded to the nearest whole number) from 1 to max_channels. Anything else, an empty
// (cancelled) answer included, is BadChannelAnswer.
Result<int> channel_count_from_answer(const QString& answer, int max_channels);

// Whether a load that needs `bytes` of memory fits what the machine has: at most three quarters
// of its physical memory (`physical`, in bytes), so the program and the system keep the rest.
// TooLarge, with both sizes, when it does not.
Status check_memory_for(int64_t bytes, int64_t physical);
// The same against this machine's physical memory.
Status check_memory_for(int64_t bytes);

// Reads `count` records of `record_bytes` bytes each from the current position of `device`, in
// `portions` portions of count / portions records, the last one taking the rest (one portion when
// there are fewer records than portions). Progress is reported after each portion. Each portion is
// handed to decode(bytes, index of its first record, records in it) in consecutive pieces of
// about a megabyte (at least one record each); a failure it returns ends the
// reading. ReadFailed when the device ends early or reports an error.
using DecodePortion = std::function<Status(const char* bytes, int64_t first, int64_t n)>;
Status read_in_portions(QIODevice& device, int64_t count, int record_bytes, int portions,
                        const ReadProgress& progress, const DecodePortion& decode);

}  // namespace quarvel

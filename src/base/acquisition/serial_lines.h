// Serial Plotter lines: a board prints one line per sample of every input, numbers separated by
// spaces, commas or tabs (optionally as label:value pairs), ended by LF or CR LF. Each line that
// holds a value for every input in use becomes one frame; every other line is counted, never
// padded into a frame.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "acquisition/device_frame.h"

namespace quarvel {

// Longest line kept, its line end not counted; a longer one is dropped whole.
constexpr int kLongestLine = 1024;

// What became of the lines of a stream.
struct LineCounts {
  int64_t frames = 0;          // lines that made a frame
  int64_t garbled = 0;         // lines with a field that is not a number or a label:number pair
  int64_t too_long = 0;        // lines over kLongestLine bytes, counted once they pass it
  int64_t too_few = 0;         // lines (empty ones included) without a value for every input in use
  int64_t clamped_values = 0;  // values of the inputs in use beyond int16, stored as its nearest end
  int64_t cut_short = 0;       // a last line the stream ended in the middle of
  bool operator==(const LineCounts&) const = default;
};

enum class LineVerdict { Frame, Garbled, TooFew };

struct ParsedLine {
  LineVerdict verdict = LineVerdict::TooFew;
  Frame frame;      // when verdict is Frame: the values of the inputs in use
  int clamped = 0;  // values of the inputs in use that were clamped
};

// One line without its line end. Numbers are read without regard to the C locale (a decimal point,
// an optional sign and exponent), rounded to the nearest integer (ties to even) and clamped to
// int16; values after the fourth are ignored.
ParsedLine parse_plotter_line(std::string_view line, InputSet inputs);

// Cuts a byte stream into lines and parses them. The bytes before the first line end are skipped
// without counting (the port may have opened in the middle of a line) unless they pass
// kLongestLine.
class PlotterLineReader {
 public:
  explicit PlotterLineReader(InputSet inputs) : inputs_(inputs) {}
  // Appends a frame for every good line the bytes complete, in order.
  void feed(std::span<const uint8_t> bytes, std::vector<Frame>& frames);
  // The stream has ended: a line it cut short is counted and forgotten.
  void finish();
  const LineCounts& counts() const { return counts_; }
  // Complete lines after the first line end, and their bytes with the line ends: the link's load.
  int64_t lines() const { return lines_; }
  int64_t line_bytes() const { return line_bytes_; }

 private:
  void add_byte(char c);
  void end_line(std::vector<Frame>& frames);

  InputSet inputs_;
  LineCounts counts_;
  std::string line_;         // the current line, kept while it can still be a good one
  int64_t line_length_ = 0;  // its bytes so far
  char last_byte_ = 0;
  bool synced_ = false;  // a line end has been seen
  int64_t line_bytes_ = 0;
  int64_t lines_ = 0;
};

}  // namespace quarvel

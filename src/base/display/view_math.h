// The arithmetic of moving through the data and of zooming the time axis: pages of a continuous
// view, blocks of a block view, halving and doubling the screen length with the switch between
// seconds and milliseconds, and fitting the screen to a time selection. Positions and widths are
// double: a day at 1 kHz is 86.4 million samples, past what a float holds to the sample.
#pragma once

#include <QString>
#include <cstdint>
#include <optional>

namespace quarvel {

// The block shown in a block view: its 1-based number and its first sample.
struct BlockView {
  int32_t cur_block = 0;
  double view_start = 0;
};

// The next block after cur_block; none on the last block (or without whole blocks).
std::optional<BlockView> next_block(int32_t cur_block, int32_t block_count, int32_t block_length);
// The block before cur_block; none on the first block.
std::optional<BlockView> previous_block(int32_t cur_block, int32_t block_length);

// Block n of a block view (the first is 1); none outside 1..block_count or without whole blocks.
std::optional<BlockView> block_number(int32_t n, int32_t block_count, int32_t block_length);

// Continuous views, with width the user width of the surface (0.8 x width samples on a screen):
// half a screen forward while that start still lies before sample_count, else the start stays.
double page_forward(double view_start, double width, int32_t sample_count);
// Half a screen back; a start less than half the full width from 0 snaps back to 0.
double page_back(double view_start, double width);
// A tenth of a screen forward while that start still lies before sample_count, else the start
// stays; and a tenth back, no further than 0.
double step_forward(double view_start, double width, int32_t sample_count);
double step_back(double view_start, double width);
// The start, in whole samples, of the last page: the data's end at the end of the screen; 0 when
// the data fit on one screen.
double last_page_start(double width, int32_t sample_count);

// The start of a continuous view whose width changes from width to new_width with the sample
// under user x kept under the pointer (the margins are parts of the width, so the pointer's x
// scales with it): the sample nearest the pointer stays the nearest, the start within
// 0..sample_count - 1.
double anchored_start(double view_start, double x, double width, double new_width, int32_t sample_count);

// The time axis of the display: length in units of factor (1 for seconds, 0.001 for
// milliseconds), the two-character unit label, and the user width of the surface.
struct TimeScale {
  float length = 0;
  float factor = 1;
  QString unit;
  double width = 0;
};

// Half the screen length. Seconds that reach 1 s or less switch to 512 ms (1 s is skipped).
TimeScale expand_scale(const TimeScale& t, float sample_interval);
// Twice the screen length. Milliseconds beyond 1000 ms switch to 1 s.
TimeScale compress_scale(const TimeScale& t, float sample_interval);

struct SelectionZoom {
  TimeScale scale;
  double view_start = 0;
};

// The screen fitted to the selection sel_x1..sel_x2 (sample indices, either order): its length in
// display units, rounded to tens above 100 units, switched from seconds to milliseconds at 1 s or
// less; the view starts at the selection's earlier edge moved onto a tenth of the display unit.
// None for an incomplete (-1) or empty selection, or a scale without width.
std::optional<SelectionZoom> zoom_to_selection(const TimeScale& t, double sel_x1, double sel_x2,
                                               float sample_interval);

}  // namespace quarvel

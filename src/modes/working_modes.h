// The working modes: measurement (acquisition panel shown) and analysis, each in a continuous or
// a block view. Each view keeps its own display length, unit factor and unit text, copied back on
// every switch.
#pragma once

#include <QString>
#include <cstdint>

namespace quarvel {

class MainWindow;

void mnuMeasure_click(MainWindow& w);
void mnuQuarvel_click(MainWindow& w);
// Asks for a block length and enters block mode, or changes the block length.
void mnuBlock_click(MainWindow& w);
void mnuContinuous_click(MainWindow& w);
// Empties the clipboard and ends the program at once.
void mnuExit_click(MainWindow& w);

// Samples a block-length answer gives at the sampling interval that will be in force, or 0 when
// the answer is no usable length. The answer is in ms; above 1000 it is read as ms too.
int32_t block_samples_for_answer(const QString& answer, float sample_interval);

}  // namespace quarvel

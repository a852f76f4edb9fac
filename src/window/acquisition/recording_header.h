// The header of a new recording from the settings in force, and the proposed name of the next
// recording in the recordings folder.
#pragma once

#include <QByteArray>
#include <QString>

namespace quarvel {

class MainWindow;

// The 128 header bytes of a new recording: channels, inputs, mode, block length, the stimulus
// settings of the dly1/stim_num/interval boxes and the sampling interval in microseconds; the
// recorded inputs' calibrations after them unless every one is its input's default.
QByteArray recording_header(MainWindow& w);

// "dataNN.bin" with NN one above the highest number already used in the folder.
QString propose_recording_name(const QString& dir);

}  // namespace quarvel

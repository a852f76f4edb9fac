// For measuring the program from outside: with QUARVEL_FIRST_PICTURE_REPORT=path in the
// environment, the first time `surface` has painted after the start file was opened, the program
// writes one line to path, "<CLOCK_REALTIME in ns> <VmHWM in kB>", and quits. A benchmark takes
// the time it started the program before exec and reads the time to the first complete picture
// and the peak memory from that line. Without the variable nothing changes.
#pragma once

class QWidget;

namespace quarvel {

// Whether the variable asks for a report.
bool first_picture_report_wanted();

// Watches `surface` for its next paint and reports then; called once the start file is shown.
void report_after_next_paint(QWidget* surface);

}  // namespace quarvel

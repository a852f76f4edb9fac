// Progress of a long file on standard error: nothing for a file done within a second, then the
// stage and its share, rewritten in place on a terminal and a line every tenth otherwise.
#pragma once

#include <QElapsedTimer>
#include <QString>
#include <cstdio>

#include "datafile/reading.h"

namespace quarvel {

class ProgressReport {
 public:
  // Reports about the file `name` to `out`; a report that is not `enabled` says nothing.
  ProgressReport(const QString& name, std::FILE* out, bool enabled);
  ~ProgressReport();
  ProgressReport(const ProgressReport&) = delete;
  ProgressReport& operator=(const ProgressReport&) = delete;

  // The callback for one stage of the work ("reading", "writing"), told 0..100.
  ReadProgress stage(const QString& what);

 private:
  void show(const QString& what, int percent);
  void end_line();

  QString name_;
  std::FILE* out_;
  bool enabled_;
  bool terminal_;
  bool open_line_ = false;  // a terminal line waits to be ended
  int last_tenth_ = -1;
  QString last_stage_;
  QElapsedTimer clock_;
};

}  // namespace quarvel

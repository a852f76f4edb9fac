// What the program is asked to do on its command line: `quarvel [FILE]` opens FILE once the
// window is up, as File > Open would; --help and --version print and end.
#pragma once

#include <QString>
#include <QStringList>

namespace quarvel {

struct CommandLine {
  QString file;      // absolute path of the file to open; empty for none
  QString text;      // printed before the program ends (help, version, or what was wrong)
  bool end = false;  // print text and end, without a window
  int exit_code = 0;
};

// arguments: the program's name first, as QCoreApplication::arguments() gives them (the toolkit's
// own options already taken out). A relative FILE is taken from working_dir.
CommandLine parse_command_line(const QStringList& arguments, const QString& working_dir);

// Answers --help and --version from the raw arguments, before the toolkit starts (which needs a
// display); anything else gives a command line that does not end, to be parsed once it runs.
CommandLine text_request(const QStringList& raw_arguments, const QString& working_dir);

}  // namespace quarvel

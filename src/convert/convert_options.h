// The command line of quarvel-convert: a command (info, edf or csv), the files it works on and
// the options that answer the questions File > Open would ask.
#pragma once

#include <QString>
#include <QStringList>
#include <optional>

namespace quarvel {

enum class ConvertCommand { Info, Edf, Csv };

struct ConvertOptions {
  ConvertCommand command = ConvertCommand::Info;
  QStringList files;
  QString output_dir;  // empty: each output beside its input
  bool force = false;  // replace outputs that exist
  bool json = false;   // info as one JSON document
  bool quiet = false;  // no progress on standard error
  int channels =
      0;  // recorded channels of a header-less .bin or a .prn, signals of an EDF file; 0 when not given
  double rate_hz = 0;  // sampling rate of a .prn file; 0 when not given
};

// What the command line asks for: options to run, or a text to print before ending (help,
// version, or what is wrong, then exit_code 2).
struct ConvertCommandLine {
  std::optional<ConvertOptions> options;
  QString text;
  int exit_code = 0;
};

// arguments: the program's name first, as QCoreApplication::arguments() gives them.
ConvertCommandLine parse_convert_command_line(const QStringList& arguments);

// The text of --help.
QString convert_usage();

}  // namespace quarvel

#include "core/command_line.h"

#include <QCommandLineParser>
#include <QDir>

namespace quarvel {

static const QString kUsage = QStringLiteral("Usage: quarvel [--help] [--version] [file]\n");

CommandLine parse_command_line(const QStringList& arguments, const QString& working_dir) {
  QCommandLineParser p;
  p.setApplicationDescription("Records and analyses slow physiological signals.");
  p.addPositionalArgument("file", "A recording (.bin) or a Labtech sample file (.prn) to open.", "[file]");
  const QCommandLineOption help = p.addHelpOption();
  const QCommandLineOption version = p.addVersionOption();
  CommandLine c;
  if (!p.parse(arguments)) {
    c.end = true;
    c.exit_code = 2;
    c.text = p.errorText() + "\n" + kUsage;
    return c;
  }
  if (p.isSet(help) || p.isSet(version)) {
    c.end = true;
    c.text = p.isSet(help) ? p.helpText() : QStringLiteral("quarvel %1\n").arg(QStringLiteral(QUARVEL_VERSION));
    return c;
  }
  const QStringList files = p.positionalArguments();
  if (files.size() > 1) {
    c.end = true;
    c.exit_code = 2;
    c.text = "Only one file can be opened at start.\n" + kUsage;
    return c;
  }
  if (!files.isEmpty()) c.file = QDir::cleanPath(QDir(working_dir).absoluteFilePath(files.front()));
  return c;
}

}  // namespace quarvel

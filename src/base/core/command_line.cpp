#include "core/command_line.h"

#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>

namespace quarvel {

static const QString kUsage = QStringLiteral("Usage: quarvel [--help] [--version] [file]\n");

CommandLine parse_command_line(const QStringList& arguments, const QString& working_dir) {
  QCommandLineParser p;
  p.setApplicationDescription("Records and analyses slow physiological signals.");
  p.addPositionalArgument(
      "file", "A recording (.bin), a Labtech sample file (.prn) or an EDF, EDF+, BDF or BDF+ file to open.",
      "[file]");
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
    c.text =
        p.isSet(help) ? p.helpText() : QStringLiteral("quarvel %1\n").arg(QStringLiteral(QUARVEL_VERSION));
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

CommandLine text_request(const QStringList& raw_arguments, const QString& working_dir) {
  static const QStringList kTextOptions = {"-h", "--help", "-?", "-help", "-v", "--version"};
  for (const QString& a : raw_arguments.mid(1))
    if (kTextOptions.contains(a)) {
      // Without an application object the parser cannot know the program's name.
      CommandLine c = parse_command_line(raw_arguments, working_dir);
      c.text.replace("<executable_name>", QFileInfo(raw_arguments.value(0, "quarvel")).fileName());
      return c;
    }
  return {};
}

}  // namespace quarvel

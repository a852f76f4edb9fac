#include "convert_options.h"

#include <QCommandLineParser>
#include <charconv>
#include <cmath>
#include <string>

namespace quarvel {

namespace {

ConvertCommandLine usage_error(const QString& what) {
  ConvertCommandLine c;
  c.exit_code = 2;
  c.text = QStringLiteral("quarvel-convert: %1\nTry 'quarvel-convert --help'.\n").arg(what);
  return c;
}

// The whole text as a number, in the program's own notation whatever the locale.
std::optional<double> number_of(const QString& text) {
  const std::string s = text.trimmed().toStdString();
  double v = 0;
  const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
  if (ec != std::errc() || end != s.data() + s.size() || s.empty()) return std::nullopt;
  return v;
}

}  // namespace

QString convert_usage() {
  return QStringLiteral(
      "Usage: quarvel-convert info [--json] FILE...\n"
      "       quarvel-convert edf [-o DIR] [--force] FILE...\n"
      "       quarvel-convert csv [-o DIR] [--force] FILE...\n"
      "\n"
      "Reads Quarvel recordings (.bin, with or without the \"Version 1.00\" header), sample files\n"
      "(.prn) and EDF, EDF+, BDF and BDF+ files with the readers of File > Open, and\n"
      "  info  prints what each holds: format, channels and inputs, rate, frames and duration,\n"
      "        blocks, marker and stimulus counts, start time\n"
      "  edf   writes each as EDF+ (NAME.edf), exactly as File > Export EDF+ does\n"
      "  csv   writes each as CSV (NAME.csv): a header row, then per frame the time in s, one\n"
      "        column per channel and the marker word, with '.' as the decimal point\n"
      "\n"
      "Options:\n"
      "  -o, --output DIR  write the new files into DIR (default: beside each input)\n"
      "  -f, --force       replace files that exist (never the input itself)\n"
      "  --channels N      channels of a header-less .bin (1-3) or of a .prn (1-2) file; for EDF\n"
      "                    and BDF files the first N signals (default: all of them, at most 3)\n"
      "  --rate HZ         sampling rate of a .prn file\n"
      "  --json            info as JSON: an array with one object per file\n"
      "  -q, --quiet       no progress on standard error\n"
      "  -h, --help        this text\n"
      "  --version         the program's version\n"
      "\n"
      "Exit status: 0 when every file was read and converted, 1 when any was not (one line on\n"
      "standard error says why, and the other files are still converted), 2 for a wrong command\n"
      "line.\n");
}

ConvertCommandLine parse_convert_command_line(const QStringList& arguments) {
  QCommandLineParser p;
  p.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
  const QCommandLineOption output({"o", "output"}, "", "DIR");
  const QCommandLineOption force({"f", "force"}, "");
  const QCommandLineOption channels("channels", "", "N");
  const QCommandLineOption rate("rate", "", "HZ");
  const QCommandLineOption json("json", "");
  const QCommandLineOption quiet({"q", "quiet"}, "");
  const QCommandLineOption help({"h", "help"}, "");
  const QCommandLineOption version("version", "");
  p.addOptions({output, force, channels, rate, json, quiet, help, version});
  if (!p.parse(arguments)) return usage_error(p.errorText());
  ConvertCommandLine c;
  if (p.isSet(help)) {
    c.text = convert_usage();
    return c;
  }
  if (p.isSet(version)) {
    c.text = QStringLiteral("quarvel-convert %1\n").arg(QStringLiteral(QUARVEL_VERSION));
    return c;
  }
  QStringList rest = p.positionalArguments();
  if (rest.isEmpty()) return usage_error(QStringLiteral("no command given (info, edf or csv)"));
  ConvertOptions o;
  const QString command = rest.takeFirst();
  if (command == QLatin1String("info")) {
    o.command = ConvertCommand::Info;
  } else if (command == QLatin1String("edf")) {
    o.command = ConvertCommand::Edf;
  } else if (command == QLatin1String("csv")) {
    o.command = ConvertCommand::Csv;
  } else {
    return usage_error(QStringLiteral("unknown command '%1' (info, edf or csv)").arg(command));
  }
  if (rest.isEmpty()) return usage_error(QStringLiteral("no file given"));
  o.files = rest;
  o.force = p.isSet(force);
  o.json = p.isSet(json);
  o.quiet = p.isSet(quiet);
  if (p.isSet(output)) {
    o.output_dir = p.value(output);
    if (o.output_dir.isEmpty()) return usage_error(QStringLiteral("--output needs a folder"));
  }
  if (o.command != ConvertCommand::Info && o.json)
    return usage_error(QStringLiteral("--json goes with info"));
  if (o.command == ConvertCommand::Info && (p.isSet(output) || o.force))
    return usage_error(QStringLiteral("info writes no files; --output and --force go with edf and csv"));
  if (p.isSet(channels)) {
    const std::optional<double> n = number_of(p.value(channels));
    if (!n || *n != std::floor(*n) || *n < 1 || *n > 3)
      return usage_error(
          QStringLiteral("--channels takes a whole number from 1 to 3, not '%1'").arg(p.value(channels)));
    o.channels = static_cast<int>(*n);
  }
  if (p.isSet(rate)) {
    const std::optional<double> hz = number_of(p.value(rate));
    // A rate so small or large that its interval is no positive float is no rate.
    if (!hz || !(*hz > 0) || !std::isfinite(*hz) || !(static_cast<float>(1.0 / *hz) > 0) ||
        !std::isfinite(static_cast<float>(1.0 / *hz)))
      return usage_error(QStringLiteral("--rate takes a positive number of Hz, not '%1'").arg(p.value(rate)));
    o.rate_hz = *hz;
  }
  c.options = o;
  return c;
}

}  // namespace quarvel

#include "convert_run.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QSet>

#include "csv_export.h"
#include "datafile/edf_export.h"
#include "datafile/export_info.h"
#include "input_recording.h"
#include "output_file.h"
#include "progress_report.h"
#include "recording_summary.h"

namespace quarvel {

namespace {

void say(std::FILE* to, const QString& text) {
  std::fputs(text.toLocal8Bit().constData(), to);
}

// Files written in this run, so that a second input of the same name never replaces the first's.
using Written = QSet<QString>;

// Converts one recording already read; the reason when it could not be done.
std::optional<QString> convert_one(const ConvertOptions& o, const QString& file, const InputRecording& r,
                                   ProgressReport& progress, Written& written) {
  const bool edf = o.command == ConvertCommand::Edf;
  const QString target = output_path_for(file, o.output_dir, edf ? "edf" : "csv");
  const QString canonical_target = QFileInfo(target).absoluteFilePath();
  if (QFileInfo(target).exists() &&
      QFileInfo(target).canonicalFilePath() == QFileInfo(file).canonicalFilePath())
    return QStringLiteral("the output %1 would be the input itself; choose another folder with -o")
        .arg(target);
  if (written.contains(canonical_target))
    return QStringLiteral("%1 was written from another file in this run").arg(target);
  if (!o.force && QFileInfo::exists(target))
    return QStringLiteral("%1 exists (--force replaces it)").arg(target);
  const SharedState& s = r.state;
  const Status st = publish_file(target, o.force, [&](const QString& temp) -> Status {
    if (edf) return export_edf(temp, r.frames, edf_recording_info(s), s.ch_calibration,
                                progress.stage("writing"));
    // A streamed file is read as the CSV is written: its reading already tells the progress.
    return write_csv(temp, s, r.frames, r.streamed ? ReadProgress{} : progress.stage("writing"));
  });
  if (!st) return QStringLiteral("cannot write %1: %2").arg(target, st.failure().detail);
  written.insert(canonical_target);
  return std::nullopt;
}

}  // namespace

int run_convert(const ConvertOptions& o, std::FILE* out, std::FILE* err) {
  if (!o.output_dir.isEmpty() && !QFileInfo(o.output_dir).isDir()) {
    say(err, QStringLiteral("quarvel-convert: the output folder %1 does not exist\n").arg(o.output_dir));
    return 1;
  }
  const InputAnswers answers{o.channels, o.rate_hz};
  int failed = 0;
  QJsonArray json;
  Written written;
  int printed = 0;
  for (const QString& file : o.files) {
    std::optional<QString> reason;
    {
      ProgressReport progress(file, err, !o.quiet);
      Result<InputRecording> read = read_input(file, answers, progress.stage("reading"));
      if (!read) {
        reason = QStringLiteral("cannot read it: %1").arg(read.failure().detail);
      } else if (o.command == ConvertCommand::Info) {
        const Result<RecordingSummary> summary = summarise(read.value());
        if (!summary) {
          reason = QStringLiteral("cannot read it: %1").arg(summary.failure().detail);
        } else if (o.json) {
          json.append(summary_json(file, summary.value()));
        } else {
          // A blank line between the blocks of the files described.
          say(out, (printed++ == 0 ? QString() : QStringLiteral("\n")) + summary_text(file, summary.value()));
        }
      } else {
        reason = convert_one(o, file, read.value(), progress, written);
      }
    }
    if (reason) {
      ++failed;
      say(err, QStringLiteral("quarvel-convert: %1: %2\n").arg(file, *reason));
      if (o.json) json.append(QJsonObject{{"file", file}, {"error", *reason}});
    }
  }
  if (o.json) std::fputs(QJsonDocument(json).toJson(QJsonDocument::Indented).constData(), out);
  std::fflush(out);
  return failed == 0 ? 0 : 1;
}

}  // namespace quarvel

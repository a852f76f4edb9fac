#include "datafile/file_names.h"

#include <QDir>
#include <QFileInfo>
#include <algorithm>

#include "core/numbers.h"

namespace quarvel {

FileNameSplit split_file_name(const QString& path) {
  const qsizetype sep = std::max(path.lastIndexOf(QLatin1Char('/')), path.lastIndexOf(QLatin1Char('\\')));
  const QString bare = path.mid(sep + 1);
  const qsizetype dot = bare.lastIndexOf(QLatin1Char('.'));
  if (dot < 0) return {QString(), bare};
  return {bare.left(dot + 1), bare.mid(dot + 1)};
}

DataFileKind data_file_kind(const QString& file_ext) {
  const QString upper = file_ext.toUpper();
  if (upper == QLatin1String("BIN")) return DataFileKind::Bin;
  if (upper == QLatin1String("PRN")) return DataFileKind::Prn;
  if (upper == QLatin1String("EDF") || upper == QLatin1String("BDF")) return DataFileKind::Edf;
  return DataFileKind::Other;
}

bool is_recording_name(const QString& name) {
  return name.size() == 10 && name.startsWith(QLatin1String("data"), Qt::CaseInsensitive) &&
         name.endsWith(QLatin1String(".bin"), Qt::CaseInsensitive);
}

QString next_recording_name(const QStringList& names) {
  double m = 0;
  for (const QString& name : names) {
    if (is_recording_name(name)) m = std::max(m, num(name.mid(4, 2)));
  }
  return QStringLiteral("data") + format(m + 1, QStringLiteral("0#")) + QStringLiteral(".bin");
}

QStringList recording_names_in(const QString& folder) {
  const QStringList found = QDir(folder).entryList({QStringLiteral("data??.bin")}, QDir::Files);
  QStringList names;
  for (const QString& name : found) {
    if (is_recording_name(name)) names.append(name);
  }
  return names;
}

ProposedFile proposed_beside(const QString& data_file, const QString& folder, const QString& ext,
                             const QString& fallback_base) {
  if (data_file.isEmpty()) return {folder, QDir(folder).filePath(fallback_base + "." + ext)};
  const QFileInfo data(data_file);
  const QDir dir(data.absolutePath());
  const QString beside = dir.filePath(data.completeBaseName() + "." + ext);
  // Never the data file itself (an EDF file exported as EDF): its own name would replace it.
  if (QFileInfo(beside).absoluteFilePath() == data.absoluteFilePath())
    return {data.absolutePath(), dir.filePath(data.completeBaseName() + " export." + ext)};
  return {data.absolutePath(), beside};
}

}  // namespace quarvel

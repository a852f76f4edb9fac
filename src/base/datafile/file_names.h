// File names of data files: splitting an opened file's name into its base and extension, and the
// name proposed for the next recording (data01.bin, data02.bin, ... in the data folder).
#pragma once

#include <QString>
#include <QStringList>

namespace quarvel {

struct FileNameSplit {
  QString file_base;  // bare name up to and including its last "."; empty when there is no "."
  QString file_ext;   // text after that last "."; the whole bare name when there is no "."
};

// Splits the bare name of `path` (what follows its last "/" or "\": files may come from either
// kind of system) at its last ".", so a name with dates or versions in it opens by its real
// extension: "C:\data\data01.bin" gives "data01." and "bin", "/home/u/rat3.2024-05-02.bin"
// gives "rat3.2024-05-02." and "bin".
FileNameSplit split_file_name(const QString& path);

enum class DataFileKind { Bin, Prn, Edf, Other };

// The reader an extension calls for, compared without regard to case ("BIN", "bin", "PRN"); EDF
// and BDF files (with or without the "+") share one reader.
DataFileKind data_file_kind(const QString& file_ext);

// True for "data" + exactly two characters + ".bin", in any case ("data07.bin", "DATA05.BIN",
// "dataAB.bin"); a bare name, not a path.
bool is_recording_name(const QString& name);

// The next recording name after the names found in the data folder: with m the largest numeric
// value of the two characters of the recording names among them (characters that do not start a
// number count as 0; m is 0 when there is none, and never below 0), "data" + m + 1 with at least
// two digits + ".bin": data07.bin after data06.bin, data100.bin after data99.bin.
QString next_recording_name(const QStringList& names);

// The names of the files in `folder` that are recording names, as the file system spells them;
// empty when the folder does not exist.
QStringList recording_names_in(const QString& folder);

// Where a file made from the loaded data is proposed: beside `data_file`, under its name with the
// extension `ext` (rec.bin gives rec.txt, rec.edf gives "rec export.edf" for ext "edf"); with no
// data file, `fallback_base`.ext in `folder`.
struct ProposedFile {
  QString folder;
  QString path;
};
ProposedFile proposed_beside(const QString& data_file, const QString& folder, const QString& ext,
                             const QString& fallback_base);

}  // namespace quarvel

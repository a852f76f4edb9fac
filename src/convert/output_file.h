// Where a converted file goes and how it gets there: written whole under a temporary name beside
// its place, then moved into place, so a file of that name never holds half a conversion and one
// that exists is only replaced when the user said so.
#pragma once

#include <QString>
#include <functional>

#include "datafile/result.h"

namespace quarvel {

// The file for `input` with extension `ext` ("edf"): its base name (up to the last ".") with the
// new extension, in `output_dir`, or beside the input when output_dir is empty.
QString output_path_for(const QString& input, const QString& output_dir, const QString& ext);

// Makes the file at `target` by handing `write` a temporary path beside it to write the whole
// content to, then moving that into place. Without `replace`, a file already at target (even one
// made there while writing) is kept and the new one dropped. What `write` returns as a failure is
// returned; nothing is left behind then, and a file already at target stays as it was.
Status publish_file(const QString& target, bool replace,
                    const std::function<Status(const QString& temp)>& write);

}  // namespace quarvel

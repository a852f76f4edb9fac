#include "datafile/save_request.h"

#include "app/main_window.h"
#include "datafile/file_names.h"

namespace quarvel {

FileDialogRequest save_request_beside_data(const MainWindow& w, const QString& filter, const QString& title,
                                           const QString& ext, const QString& fallback_base) {
  FileDialogRequest req;
  req.filter = filter;
  req.filter_index = 1;
  req.title = title;
  req.default_ext = ext;
  const ProposedFile proposed = proposed_beside(w.s.file_loaded ? w.s.data_file_name : QString(),
                                                w.services.data_dir, ext, fallback_base);
  req.initial_dir = proposed.folder;
  req.file_name = proposed.path;
  return req;
}

}  // namespace quarvel

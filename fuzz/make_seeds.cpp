// Writes the seed corpus of every fuzz target: make_seeds <corpus folder>, which gets bin/, prn/,
// edf/, numbers/, lines/ and firmata/ with one file per seed. Files of earlier seeds are removed, so the
// folder holds exactly what seeds.cpp describes.
#include <QDir>
#include <QFile>
#include <cstdio>

#include "seeds.h"

namespace {

bool write_seeds(const QString& folder, const auto& seeds) {
  QDir dir(folder);
  if (dir.exists() && !dir.removeRecursively()) return false;
  if (!QDir().mkpath(folder)) return false;
  for (const auto& seed : seeds) {
    QFile f(dir.filePath(QString::fromStdString(seed.name)));
    if (!f.open(QIODevice::WriteOnly) || f.write(seed.input) != seed.input.size()) return false;
  }
  std::printf("%s: %zu seeds\n", qPrintable(folder), seeds.size());
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_seeds <corpus folder>\n");
    return 2;
  }
  const QString root = QString::fromLocal8Bit(argv[1]);
  using namespace quarvel::fuzz;
  const bool ok = write_seeds(root + "/bin", bin_seeds()) && write_seeds(root + "/prn", prn_seeds()) &&
                  write_seeds(root + "/edf", edf_seeds()) && write_seeds(root + "/numbers", number_seeds()) &&
                  write_seeds(root + "/lines", line_seeds()) &&
                  write_seeds(root + "/firmata", firmata_seeds());
  if (!ok) std::fprintf(stderr, "make_seeds: cannot write under %s\n", argv[1]);
  return ok ? 0 : 1;
}

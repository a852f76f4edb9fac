// Guards the program as a shell starts it: help and version print and end with status 0 on a
// machine without a display, where the toolkit could not start a window.
#include <gtest/gtest.h>
#include <QProcess>
#include <QProcessEnvironment>

namespace {

struct TextOption {
  const char* option;
  const char* starts_with;
  const char* holds;
};

class ProgramWithoutDisplay : public ::testing::TestWithParam<TextOption> {};

TEST_P(ProgramWithoutDisplay, PrintsAndEnds) {
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) env.remove(name);
  QProcess p;
  p.setProcessEnvironment(env);
  p.start(QStringLiteral(QUARVEL_PROGRAM), {GetParam().option});
  ASSERT_TRUE(p.waitForFinished(20000));
  const QString out = QString::fromLocal8Bit(p.readAllStandardOutput());
  EXPECT_EQ(p.exitStatus(), QProcess::NormalExit);
  EXPECT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();
  EXPECT_TRUE(out.startsWith(GetParam().starts_with)) << out.toStdString();
  EXPECT_TRUE(out.contains(GetParam().holds)) << out.toStdString();
}

INSTANTIATE_TEST_SUITE_P(Options, ProgramWithoutDisplay,
                         ::testing::Values(TextOption{"--help", "Usage: quarvel ", "EDF"},
                                           TextOption{"--version", "quarvel 0.", "quarvel"}));

}  // namespace

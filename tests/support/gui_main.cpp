// The main of the tests of the widgets layer and of the window: the headless platform unless one
// is set, test-mode standard paths, and one QApplication for the widgets under test.
#include <gtest/gtest.h>
#include <QApplication>
#include <QStandardPaths>
#include <clocale>
#include <cstdio>
#include <string>

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QStandardPaths::setTestModeEnabled(true);
  QApplication app(argc, argv);
  // The decimal-comma run must really run under such a locale: a locale that is not installed
  // would leave the C locale in force and let every test pass for nothing.
  if (!qEnvironmentVariableIsEmpty("QUARVEL_EXPECT_DECIMAL_COMMA") &&
      std::string(std::localeconv()->decimal_point) != ",") {
    std::fprintf(stderr, "The locale %s does not write a decimal comma; generate it first.\n",
                 std::setlocale(LC_NUMERIC, nullptr));
    return 1;
  }
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}

// Entry point of every test program: a QApplication on the offscreen platform, so that tests of painted
// controls, fonts and printing run without a display. Like the program, it frees the application object
// before the QApplication goes.
#include "platform/windowing/application.h"
#include <QApplication>
#include <gtest/gtest.h>

int main(int argc, char **argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  const int result = RUN_ALL_TESTS();
  FreeApplication();
  return result;
}

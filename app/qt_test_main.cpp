// The main function of the program's tests on the Qt display: one application for the whole
// run, made before the first test and gone before the process's static objects are, as Qt
// wants it. Tests run on the offscreen platform unless QT_QPA_PLATFORM names another (the
// screenshots run them under Xvfb).
#include <QApplication>
#include <gtest/gtest.h>

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);
  QApplication::setQuitOnLastWindowClosed(false);
  return RUN_ALL_TESTS();
}

// The map suites' main: the application, and with it the web engine, is taken down
// before the process exits, as the engine needs; left to the exit handlers, its
// shutdown races the destruction of Qt's own globals.

#include <gtest/gtest.h>

#include <QApplication>

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  const int result = RUN_ALL_TESTS();
  delete QApplication::instance();
  return result;
}

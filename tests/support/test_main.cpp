// Every suite's main. The suites of Qt's users (PICTROVE_TEST_QT) run with an offscreen Qt
// application, so that alerts and widgets work without a display; the others link no Qt.
#ifdef PICTROVE_TEST_QT
#include <QApplication>
#endif
#include <cstdlib>
#include <gtest/gtest.h>

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  setenv("QT_SCALE_FACTOR", "1", 0);
  testing::InitGoogleTest(&argc, argv);
#ifdef PICTROVE_TEST_QT
  QApplication application(argc, argv);
#endif
  return RUN_ALL_TESTS();
}

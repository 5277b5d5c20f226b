#pragma once
// One Qt application object for the whole benchmark run, on the offscreen platform: the
// drawing needs fonts, the dialogs need widgets.

#include <QApplication>
#include <cstdlib>

inline void EnsureGuiApplication() {
  static int argc = 1;
  static char name[] = "tickvane_bench";
  static char* argv[] = {name, nullptr};
  if (QCoreApplication::instance() == nullptr) {
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    static QApplication* app = new QApplication(argc, argv);
    (void)app;
  }
}

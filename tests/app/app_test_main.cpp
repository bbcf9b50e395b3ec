// The window tests' main: one QApplication for every test, on Qt's offscreen
// platform unless the environment names another.
#include <gtest/gtest.h>

#include <QApplication>
#include <cstdio>

#include "tests/app/window_test_support.h"

namespace {

// The offscreen platform says when it cannot raise a window or grab the
// keyboard for an open drop-down list; everything else is printed as usual.
void quiet_offscreen_notes(QtMsgType type, const QMessageLogContext& context, const QString& text) {
  if (text.startsWith(QStringLiteral("This plugin does not support"))) return;
  std::fputs(qFormatLogMessage(type, context, text).toLocal8Bit().append('\n').constData(), stderr);
}

}  // namespace

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  orvendel::testing::ensure_runtime_dir();
  qInstallMessageHandler(quiet_offscreen_notes);
  QApplication app(argc, argv);
  return RUN_ALL_TESTS();
}

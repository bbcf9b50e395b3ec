// Closing the window ends the program at once, whatever its workers do.
#include <gtest/gtest.h>

#include <QProcess>
#include <QTemporaryDir>

#include "app/qt_text.h"

namespace orvendel {
namespace {

TEST(ClosingTest, ClosingWhileWorkersRunEndsWithExitCodeZeroAndNothingPrinted) {
  QTemporaryDir runtime;  // Qt wants a private runtime directory, or it warns
  ASSERT_TRUE(runtime.isValid());
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
  environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime.path());

  QProcess probe;
  probe.setProcessEnvironment(environment);
  probe.start(to_qstring(ORVENDEL_CLOSE_PROBE), {});
  ASSERT_TRUE(probe.waitForStarted());
  // A hang guard, not a speed goal.
  const bool ended = probe.waitForFinished(30000);
  if (!ended) probe.kill();
  ASSERT_TRUE(ended) << "the program did not end after its window closed";
  EXPECT_EQ(probe.exitStatus(), QProcess::NormalExit);
  EXPECT_EQ(probe.exitCode(), 0);
  EXPECT_EQ(probe.readAllStandardError().toStdString(), "");
}

}  // namespace
}  // namespace orvendel

// Test programs run headless, each in a private per-user folder, with dialogs
// answered by a script and error reports recorded instead of shown.
#include "support/test_env.h"

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QTemporaryDir home;  // XDG_DATA_HOME and HOME of this test program
  qputenv("XDG_DATA_HOME", (home.path() + "/data").toLocal8Bit());
  qputenv("HOME", (home.path() + "/home").toLocal8Bit());
  qputenv("XDG_RUNTIME_DIR", (home.path() + "/run").toLocal8Bit());
  QDir().mkpath(home.path() + "/home");
  QDir().mkpath(home.path() + "/run");
  // Qt wants the runtime folder private, as a session would make it.
  QFile::setPermissions(home.path() + "/run", QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                 QFileDevice::ExeOwner);
  QApplication app(argc, argv);
  QCoreApplication::setApplicationName(QStringLiteral("Quaymark"));
  ::testing::InitGoogleTest(&argc, argv);
  ::testing::AddGlobalTestEnvironment(new qmtest::Environment);
  return RUN_ALL_TESTS();
}

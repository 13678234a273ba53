// The programs' --version and --help.
#include "support/test_env.h"

#include <QProcess>
#include <QRegularExpression>

namespace {

struct Run_Result {
  int status = -1;
  QString out, err;
};

Run_Result Run_Program(const QString& program, const QStringList& args) {
  QProcess p;
  p.start(program, args);
  Run_Result r;
  if (!p.waitForFinished(30000)) return r;
  r.status = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
  r.out = QString::fromUtf8(p.readAllStandardOutput());
  r.err = QString::fromUtf8(p.readAllStandardError());
  return r;
}

TEST(Programs, VersionAndHelp) {
  const QRegularExpression version(
      "^Quaymark, Free version \\d+\\.\\d+\\.\\d+ \\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d\\n$");
  for (const char* program : {QM_QUAYMARK, QM_QMTOOL}) {
    const Run_Result v = Run_Program(program, {"--version"});
    EXPECT_EQ(v.status, 0) << program;
    EXPECT_TRUE(version.match(v.out).hasMatch()) << program << ": " << v.out.toStdString();
  }
  // Both print the same version.
  EXPECT_EQ(Run_Program(QM_QUAYMARK, {"--version"}).out, Run_Program(QM_QMTOOL, {"--version"}).out);

  const Run_Result qh = Run_Program(QM_QUAYMARK, {"--help"});
  EXPECT_EQ(qh.status, 0);
  EXPECT_TRUE(qh.out.startsWith("usage: quaymark")) << qh.out.toStdString();
  const Run_Result th = Run_Program(QM_QMTOOL, {"--help"});
  EXPECT_EQ(th.status, 0);
  EXPECT_TRUE(th.out.startsWith("usage: qmtool")) << th.out.toStdString();
  const Run_Result vh = Run_Program(QM_QMTRACE, {"--help"});
  EXPECT_EQ(vh.status, 0);
  EXPECT_TRUE(vh.out.startsWith("usage: qmtrace")) << vh.out.toStdString();

  // Without a command qmtool prints its usage and says wrong usage.
  const Run_Result none = Run_Program(QM_QMTOOL, {});
  EXPECT_EQ(none.status, 2);
  EXPECT_TRUE(none.err.contains("usage: qmtool COMMAND")) << none.err.toStdString();
}

}  // namespace

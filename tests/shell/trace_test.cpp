// Trace lines: their format, the one search for the viewer, and the viewer.
#include "shell/trace.h"
#include "support/test_env.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QLocalServer>
#include <QLocalSocket>
#include <QProcess>
#include <QRegularExpression>

#include <unistd.h>
#include <memory>

namespace {

TEST(Trace_Format, LineAsSpecified) {
  const QDateTime when(QDate(2012, 5, 4), QTime(14, 57, 0));
  EXPECT_EQ(qm::Format_Trace_Line("quaymark", 4242, 4243, when,
                                  {QStringLiteral("Handle_Open_File, filename = /d/h1.kv2")}),
            "quaymark C: 4242: 4243: 20120504 145700: Handle_Open_File, filename = /d/h1.kv2\t");
  // Every value is followed by a TAB; a list gives each of its elements.
  EXPECT_EQ(qm::Format_Trace_Line(
                "quaymark", 1, 2, QDateTime(QDate(2026, 12, 1), QTime(9, 5, 7)),
                {QStringLiteral("lane"), 5, QStringList{"a", "b"}, QVariantList{1.5, true}, ""}),
            "quaymark C: 1: 2: 20261201 090507: lane\t5\ta\tb\t1.5\ttrue\t\t");
  EXPECT_EQ(qm::Format_Trace_Line("quaymark", 1, 2, when, {}),
            "quaymark C: 1: 2: 20120504 145700: ");
}

// The socket name lives in the temporary folder: point that at a private
// folder so the tests never meet a real viewer (or each other).
class Trace_Test : public qmtest::Test {
 protected:
  void SetUp() override {
    qmtest::Test::SetUp();
    saved_tmpdir_ = qgetenv("TMPDIR");
    qputenv("TMPDIR", tmp.path().toLocal8Bit());
    qm::Reset_Trace_For_Test();
  }
  void TearDown() override {
    qm::Reset_Trace_For_Test();
    qputenv("TMPDIR", saved_tmpdir_);
    qmtest::Test::TearDown();
  }
  // Reads one message (length, then bytes) from `s`; what follows it stays
  // in `buf` for the next call.
  static QByteArray Read_Message(QLocalSocket* s, QByteArray& buf) {
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < 5000) {
      if (buf.size() >= 4) {
        const auto* h = reinterpret_cast<const unsigned char*>(buf.constData());
        const int n = (h[0] << 24) | (h[1] << 16) | (h[2] << 8) | h[3];
        if (buf.size() >= 4 + n) {
          const QByteArray m = buf.mid(4, n);
          buf.remove(0, 4 + n);
          return m;
        }
      }
      if (s->bytesAvailable() || s->waitForReadyRead(100)) buf += s->readAll();
    }
    return "<timeout>";
  }

 private:
  QByteArray saved_tmpdir_;
};

TEST_F(Trace_Test, ViewerFoundAtFirstCallReceivesEachLine) {
  QLocalServer server;
  ASSERT_TRUE(server.listen(QString::fromLatin1(qm::Trace_Socket_Name)));
  qm::Trace_Text("first line");
  qm::Test_Tracing();
  ASSERT_TRUE(server.waitForNewConnection(5000));
  QLocalSocket* s = server.nextPendingConnection();
  ASSERT_NE(s, nullptr);
  const QRegularExpression line("^test_shell C: " + QString::number(::getpid()) +
                                ": \\d+: \\d{8} \\d{6}: first line\\t$");
  QByteArray buf;
  const QString first = QString::fromLocal8Bit(Read_Message(s, buf));
  EXPECT_TRUE(line.match(first).hasMatch()) << first.toStdString();
  EXPECT_TRUE(
      QString::fromLocal8Bit(Read_Message(s, buf)).endsWith(": Test a trace ************\t"));

  // The viewer goes away: later lines fail quietly and do not take us down.
  delete s;
  server.close();
  for (int i = 0; i < 3; ++i) qm::Trace_Text("after the viewer left");
  Expect_No_Reports();
}

TEST_F(Trace_Test, NoViewerAtFirstCallMeansNoneForTheRun) {
  qm::Trace_Text("nobody listens");
  QLocalServer server;
  ASSERT_TRUE(server.listen(QString::fromLatin1(qm::Trace_Socket_Name)));
  qm::Trace_Text("too late");
  EXPECT_FALSE(server.waitForNewConnection(300));
}

TEST_F(Trace_Test, QmtracePrintsEachLine) {
  QProcess viewer;
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert("TMPDIR", tmp.path());
  viewer.setProcessEnvironment(env);
  viewer.start(QStringLiteral(QM_QMTRACE), {});
  ASSERT_TRUE(viewer.waitForStarted(5000));
  // It says so on standard error once it listens.
  viewer.setReadChannel(QProcess::StandardError);
  QByteArray err;
  while (!err.contains("listening") && viewer.waitForReadyRead(5000))
    err += viewer.readAllStandardError();
  ASSERT_TRUE(err.contains("listening")) << err.toStdString();

  qm::Trace_Text("line one");
  qm::Trace_Line({QStringLiteral("two"), QStringLiteral("values")});
  viewer.setReadChannel(QProcess::StandardOutput);
  QByteArray out = viewer.readAllStandardOutput();
  while (out.count('\n') < 2 && viewer.waitForReadyRead(5000))
    out += viewer.readAllStandardOutput();
  const QList<QByteArray> lines = out.split('\n');
  ASSERT_GE(lines.size(), 2) << out.toStdString();
  EXPECT_TRUE(lines[0].startsWith("test_shell C: ")) << out.toStdString();
  EXPECT_TRUE(lines[0].endsWith(": line one\t")) << out.toStdString();
  EXPECT_TRUE(lines[1].endsWith(": two\tvalues\t")) << out.toStdString();
  viewer.terminate();
  viewer.waitForFinished(5000);
}

}  // namespace

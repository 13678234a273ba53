// qmtool export and print, each in its own process, on a KV2 file written by
// our own writer.
#include "fixtures/kv_fixtures.h"
#include "support/run_program.h"
#include "support/test_env.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>

namespace {

using qmtest::Qmtool;
using qmtest::Run_Result;

QByteArray Read(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

class Qmtool_Output_Test : public qmtest::Test {
 protected:
  void SetUp() override {
    qmtest::Test::SetUp();
    qmtest::KV2_Options o;
    o.frames = 10;
    o.lanes = 6;
    w = qmtest::Make_KV2(Tmp("Final_Heat2_0001.kv2"), o);
    ASSERT_TRUE(w.ok);
    out = Tmp("out");
    QDir().mkpath(out);
  }
  void Time_Lanes() {
    for (const auto& [lane, field] : {std::pair{"4", "7"}, {"2", "9"}, {"1", "12"}})
      ASSERT_EQ(Qmtool({"set-result", w.path, "--lane", lane, "--field", field}).status, 0);
    ASSERT_EQ(Qmtool({"set-result", w.path, "--lane", "5", "--status", "DSQ"}).status, 0);
  }
  qmtest::KV2_Written w;
  QString out;
};

TEST_F(Qmtool_Output_Test, ExportRefusalsAndUsage) {
  Run_Result r = Qmtool({"export", w.path, "--csv", "--folder", out});
  EXPECT_EQ(r.status, 1);
  EXPECT_TRUE(r.err.contains("Nothing to export!")) << r.err.toStdString();
  EXPECT_TRUE(r.out.isEmpty());
  r = Qmtool({"export", w.path, "--csv", "--folder", Tmp("missing")});
  EXPECT_EQ(r.status, 1);
  EXPECT_TRUE(r.err.contains("Result export folder not found!"));
  EXPECT_EQ(Qmtool({"export", w.path, "--csv", "--xml"}).status, 2);
  EXPECT_EQ(Qmtool({"export", w.path}).status, 2);
  EXPECT_TRUE(QDir(out).entryList(QDir::Files | QDir::Hidden).isEmpty());
}

TEST_F(Qmtool_Output_Test, ExportWritesTheFilesAndPrintsTheirPaths) {
  Time_Lanes();
  Run_Result r = Qmtool({"export", w.path, "--csv", "--folder", out});
  ASSERT_EQ(r.status, 0) << r.err.toStdString();
  const QString csv = out + QStringLiteral("/QM_Result_HeatH1.csv");
  EXPECT_EQ(r.out, (csv + "\n").toUtf8());
  const QByteArray b = Read(csv);
  EXPECT_TRUE(b.startsWith("Fixture Regatta;H1;")) << b.toStdString();
  EXPECT_TRUE(b.contains("\r\n1;4;"));
  EXPECT_TRUE(b.contains("\r\n4;5;DSQ\r\nend\r\n"));

  r = Qmtool({"export", w.path, "--csv", "--folder", out, "--name", "Final A"});
  ASSERT_EQ(r.status, 0) << r.err.toStdString();
  EXPECT_EQ(Read(out + QStringLiteral("/Final A.csv")), b);

  r = Qmtool({"export", w.path, "--xml", "--folder", out});
  ASSERT_EQ(r.status, 0) << r.err.toStdString();
  const QString xml = out + QStringLiteral("/QM_Result_Heat2.xml");
  EXPECT_EQ(r.out, (xml + "\n").toUtf8());
  const QByteArray x = Read(xml);
  EXPECT_TRUE(x.contains("<competitor nbr=\"4\">")) << x.toStdString();
  EXPECT_TRUE(x.contains("<race>"));
  EXPECT_EQ(QDir(out).entryList(QDir::Files | QDir::Hidden).size(), 3);
}

TEST_F(Qmtool_Output_Test, PrintWritesPdfAndLayout) {
  Time_Lanes();
  const QString pdf = Tmp("series.pdf");
  Run_Result r = Qmtool({"print", w.path, "--series", "--pdf", pdf, "--layout-json"});
  ASSERT_EQ(r.status, 0) << r.err.toStdString();
  EXPECT_TRUE(Read(pdf).startsWith("%PDF"));
  const QJsonObject o = QJsonDocument::fromJson(r.out).object();
  EXPECT_EQ(o["page"].toObject()["w"].toDouble(), 11904);
  EXPECT_DOUBLE_EQ(o["margins"].toObject()["left"].toDouble(), 595.2);
  const QJsonObject s = o["series"].toObject();
  EXPECT_EQ(s["columns"].toInt(), 3);
  EXPECT_EQ(s["timed"].toInt(), 3);
  EXPECT_EQ(s["cells"].toArray().size(), 3);
  EXPECT_DOUBLE_EQ(s["cells"].toArray()[0].toObject()["y"].toDouble(),
                   o["Y_Pos_After_Results"].toDouble());

  r = Qmtool({"print", w.path, "--single", "--field", "3", "--pdf", Tmp("one.pdf")});
  ASSERT_EQ(r.status, 0) << r.err.toStdString();
  EXPECT_TRUE(Read(Tmp("one.pdf")).startsWith("%PDF"));
  EXPECT_EQ(Qmtool({"print", w.path, "--results"}).status, 2);
  EXPECT_EQ(Qmtool({"print", w.path, "--results", "--field", "2", "--pdf", pdf}).status, 2);
}

}  // namespace

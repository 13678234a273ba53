// The CSV result file, byte for byte, its name rules and the export command.
#include "race_timing/lane.h"
#include "race_timing/lane_result.h"
#include "race_timing/result_rows.h"
#include "results_output/csv_export.h"
#include "results_output/heat_facts.h"
#include "results_output/result_file.h"
#include "results_output/results_export.h"
#include "shell/app_globals.h"
#include "test_heat.h"
#include "support/test_env.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <sys/stat.h>

namespace {

// A heat with three timed lanes, a start correction of one second and each
// status; the event name carries Latin-1 letters.
struct Heat {
  qm::Heat_Facts facts =
      qmtest::Regatta_Facts(QStringLiteral("/data/heats/Heat12_final.kv2"), QStringLiteral("12"));
  qm::Result_Rows rows = qmtest::Ranked_Rows({{3, 83450},
                                              {5, 84020},
                                              {6, 125000},
                                              {1, qm::Status_DSQ},
                                              {2, qm::Status_DNS},
                                              {4, qm::Status_DNF}},
                                             1000, QStringLiteral("12"),
                                             QStringLiteral("12-06-09 10:41"));
};

QByteArray Read(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

class Csv_Test : public qmtest::Test {
 protected:
  void SetUp() override {
    qmtest::Test::SetUp();
    x.Export_folder = tmp.path();
    qm::app().Export_event_name.clear();
  }
  Heat heat;
  qm::Results_Export x;
};

TEST_F(Csv_Test, FileIsByteForByteTheLayout) {
  const QByteArray host = qm::app().Computer_Name.toLatin1();
  const QByteArray expected =
      "Sj\xF6\xE5 Regatta;12;2012-06-09 10:41;10:46:33;2012-06-09 10:52:10;" + host +
      "\r\n"
      "1;3;01:22,45;+0,00\r\n"
      "2;5;01:23,02;+0,57\r\n"
      "3;6;02:04,00;+41,55\r\n"
      "4;1;DSQ\r\n"
      "5;2;DNS\r\n"
      "6;4;DNF\r\n"
      "end\r\n";
  ASSERT_TRUE(x.Export_CSV_file(heat.facts, heat.rows));
  EXPECT_EQ(x.Last_export_file, tmp.path() + QStringLiteral("/QM_Result_Heat12.csv"));
  EXPECT_EQ(Read(x.Last_export_file), expected);
  EXPECT_EQ(qm::app().Export_event_name, heat.facts.event_name);
  // Nothing but the file is left in the folder (no temporary file).
  EXPECT_EQ(QDir(tmp.path()).entryList(QDir::Files | QDir::Hidden),
            QStringList(QStringLiteral("QM_Result_Heat12.csv")));
  EXPECT_TRUE(x.Frm_export_mess_visible);
  EXPECT_EQ(x.Text_export_mess,
            QStringLiteral("Exported results to file:\r\n") + x.Last_export_file);
  Expect_No_Reports();
}

TEST_F(Csv_Test, HeaderDateAndStartRules) {
  struct Case {
    const char* date;
    int32_t start;
    const char* date_out;
    const char* start_out;
  };
  const Case cases[] = {
      {"12-06-09", 38793000, "2012-06-09", "10:46:33"},
      {"2012-06-09", 38793000, "2012-06-09", "10:46:33"},
      {"", 0, "20", "00:00,00"},
      {"09-06-14", 32703000, "2009-06-14", "9:05:03,"},  // before 10:00
  };
  for (const Case& c : cases) {
    EXPECT_EQ(qm::Export_Date_Text(QString::fromUtf8(c.date)), QString::fromUtf8(c.date_out));
    EXPECT_EQ(qm::Export_Heat_Start_Text(c.start), QString::fromUtf8(c.start_out)) << c.start;
  }
  // A character beyond Latin-1 is kept as a reference, not lost.
  heat.facts.event_name = QStringLiteral("Račice");
  const QByteArray b = qm::Csv_Bytes(heat.facts, heat.rows, heat.facts.event_name, "pc");
  EXPECT_TRUE(b.startsWith("Ra&#269;ice;12;")) << b.toStdString();
}

TEST_F(Csv_Test, NameRules) {
  struct Case {
    const char* folder;
    const char* heat;
    const char* alternative;
    const char* path;
  };
  const Case cases[] = {
      {"/srv/Results", "12", "", "/srv/Results/QM_Result_Heat12.csv"},
      {"/srv/results-2026,a:b", "A-3", "", "/srv/results-2026,a:b/QM_Result_HeatA_3.csv"},
      {"/srv/r", "1:2,3-4", "", "/srv/r/QM_Result_Heat1_2_3_4.csv"},
      {"/srv/r/", "12", "", "/srv/r//QM_Result_Heat12.csv"},
      {"/srv/r", "12", "Final A", "/srv/r/Final A.csv"},
      {"/srv/r", "a/b\tc", "", "/srv/r/QM_Result_Heata_b_c.csv"},
  };
  for (const Case& c : cases) {
    QString alt = QString::fromUtf8(c.alternative);
    EXPECT_EQ(qm::Csv_Export_Path(QString::fromUtf8(c.folder), QString::fromUtf8(c.heat), alt),
              QString::fromUtf8(c.path));
    EXPECT_TRUE(alt.isEmpty());  // used once
  }
  // Names that would leave the folder are refused with a report.
  const char* refused[][2] = {{"../../etc/x", ""}, {"12", "/etc/passwd"}, {"12", "a/../../b"}};
  for (const auto& r : refused) {
    QString alt = QString::fromUtf8(r[1]);
    const QString p = qm::Trapped(QStringLiteral("t"), QStringLiteral("refused"), [&] {
      return qm::Csv_Export_Path(QStringLiteral("/srv/r"), QString::fromUtf8(r[0]), alt);
    });
    EXPECT_EQ(p, QStringLiteral("refused")) << r[0] << " " << r[1];
  }
  EXPECT_EQ(reports.size(), 3u);
}

TEST_F(Csv_Test, RefusedName_IsReportedAndNothingIsWritten) {
  // A heat ID with "/" stays inside the folder once made safe; a typed name
  // that climbs out of it is refused.
  heat.rows.Lbl_heat = QStringLiteral("../x");
  ASSERT_TRUE(x.Export_CSV_file(heat.facts, heat.rows));
  EXPECT_EQ(x.Last_export_file, tmp.path() + QStringLiteral("/QM_Result_Heat.._x.csv"));
  QFile::remove(x.Last_export_file);
  x.Alternative_export_name = QStringLiteral("../escape");
  EXPECT_FALSE(x.Export_CSV_file(heat.facts, heat.rows));
  ASSERT_EQ(reports.size(), 1u);
  EXPECT_EQ(reports[0].errproc, QStringLiteral("Export_CSV_file of Form frm_kanot_2"));
  EXPECT_TRUE(QDir(tmp.path()).entryList(QDir::Files | QDir::Hidden).isEmpty());
  EXPECT_FALSE(QFileInfo::exists(QFileInfo(tmp.path()).path() + "/escape.csv"));
}

TEST_F(Csv_Test, RefusalsLeaveFilesAsTheyWere) {
  // Read-only target: refused, kept.
  const QString target = tmp.path() + QStringLiteral("/QM_Result_Heat12.csv");
  {
    QFile f(target);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("old");
  }
  ::chmod(target.toLocal8Bit().constData(), 0444);
  EXPECT_FALSE(x.Export_CSV_file(heat.facts, heat.rows));
  EXPECT_EQ(Read(target), QByteArray("old"));
  EXPECT_EQ(dialogs.Texts(), QStringList(QStringLiteral("A write-protected file already exists!")));
  ::chmod(target.toLocal8Bit().constData(), 0644);
  // Writable: overwritten without a question.
  dialogs.Clear();
  EXPECT_TRUE(x.Export_CSV_file(heat.facts, heat.rows));
  EXPECT_TRUE(Read(target).startsWith("Sj\xF6"));

  dialogs.Clear();
  qm::Result_Rows empty;
  EXPECT_FALSE(x.Export_CSV_file(heat.facts, empty));
  x.Export_folder = Tmp("missing");
  EXPECT_FALSE(x.Export_CSV_file(heat.facts, heat.rows));
  EXPECT_EQ(dialogs.Texts(), QStringList({QStringLiteral("Nothing to export!"),
                                          QStringLiteral("Can't find export folder!")}));
  Expect_No_Reports();
}

TEST_F(Csv_Test, ExportCommandWithAlternativeNameAndFormats) {
  // Alt held: the typed name once; the prompt proposes "Heat" + the heat.
  dialogs.Input_With(QStringLiteral("Final A"));
  EXPECT_TRUE(x.Cmd_export_Click(true, heat.facts, heat.rows));
  EXPECT_EQ(dialogs.records()[0].text, QStringLiteral("Give alternative export file name"));
  EXPECT_EQ(dialogs.records()[0].title, QStringLiteral("Enter filename"));
  EXPECT_TRUE(QFileInfo::exists(tmp.path() + QStringLiteral("/Final A.csv")));
  EXPECT_TRUE(x.Cmd_export_Click(false, heat.facts, heat.rows));
  EXPECT_EQ(x.Last_export_file, tmp.path() + QStringLiteral("/QM_Result_Heat12.csv"));

  // The XML format ignores the typed name, which stays for the next CSV.
  x.Opt_exp_format_Click(2);
  dialogs.Input_With(QStringLiteral("Kept"));
  EXPECT_TRUE(x.Cmd_export_Click(true, heat.facts, heat.rows));
  EXPECT_EQ(x.Last_export_file, tmp.path() + QStringLiteral("/QM_Result_Heat12.xml"));
  EXPECT_EQ(x.Alternative_export_name, QStringLiteral("Kept"));
  x.Load_Export_format();
  EXPECT_EQ(x.Opt_exp_format, qm::Export_Format::XML);
  x.Opt_exp_format_Click(1);
  EXPECT_TRUE(x.Cmd_export_Click(false, heat.facts, heat.rows));
  EXPECT_EQ(x.Last_export_file, tmp.path() + QStringLiteral("/Kept.csv"));

  // A missing folder stops the command before anything is written.
  dialogs.Clear();
  x.Export_folder = Tmp("nowhere");
  EXPECT_FALSE(x.Cmd_export_Click(false, heat.facts, heat.rows));
  EXPECT_EQ(dialogs.Texts(), QStringList(QStringLiteral("Result export folder not found!")));
  Expect_No_Reports();
}

TEST_F(Csv_Test, FailedWriteKeepsThePreviousFile) {
  // The target's name is taken by a folder: the write fails and is reported;
  // no temporary file is left behind.
  QDir().mkpath(tmp.path() + QStringLiteral("/QM_Result_Heat12.csv"));
  EXPECT_FALSE(x.Export_CSV_file(heat.facts, heat.rows));
  ASSERT_EQ(reports.size(), 1u);
  EXPECT_EQ(reports[0].errproc, QStringLiteral("Export_CSV_file of Form frm_kanot_2"));
  EXPECT_FALSE(QFileInfo::exists(qm::Result_Temp_Path(tmp.path() + "/QM_Result_Heat12.csv")));
  EXPECT_EQ(qm::Result_Temp_Path(QStringLiteral("/r/QM_Result_Heat12.csv")),
            QStringLiteral("/r/.QM_Result_Heat12.csv.part"));
}

}  // namespace

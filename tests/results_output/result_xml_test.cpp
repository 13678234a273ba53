// The race XML document: its skeleton, the regatta export and the
// competitor operations the marathon uses.
#include "results_output/result_xml.h"
#include "platform/xml_document.h"
#include "race_timing/lane.h"
#include "race_timing/lane_result.h"
#include "race_timing/result_rows.h"
#include "results_output/heat_facts.h"
#include "results_output/results_export.h"
#include "shell/app_globals.h"
#include "test_heat.h"
#include "support/test_env.h"

#include <QDir>
#include <QFile>

#include <sys/stat.h>

namespace {

QByteArray Read(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QStringList Names(const std::vector<qm::Xml_Node>& nodes) {
  QStringList out;
  for (const auto& n : nodes)
    out << (n.Node_Type() == qm::Xml_Node::Kind::Text
                ? (n.Node_Value() == QStringLiteral("\r\n") ? QStringLiteral("CRLF")
                                                            : QStringLiteral("text"))
                : n.Node_Name());
  return out;
}

struct Heat {
  qm::Heat_Facts facts =
      qmtest::Regatta_Facts(QStringLiteral("/data/heats/Heat7_A.kv2"), QStringLiteral("A-3"));
  qm::Result_Rows rows = qmtest::Ranked_Rows({{3, 83450}, {5, 84020}, {1, qm::Status_DSQ}}, 0,
                                             QStringLiteral("A-3"), QStringLiteral("12-06-09"));
};

using Result_Xml_Test = qmtest::Test;

TEST_F(Result_Xml_Test, RegattaExportDocument) {
  Heat heat;
  qm::Results_Export x;
  x.Export_folder = tmp.path();
  x.Opt_exp_format = qm::Export_Format::XML;
  ASSERT_TRUE(x.Cmd_export_Click(false, heat.facts, heat.rows));
  EXPECT_EQ(x.Last_export_file, tmp.path() + QStringLiteral("/QM_Result_Heat7.xml"));
  const QByteArray bytes = Read(x.Last_export_file);
  EXPECT_TRUE(bytes.startsWith("<?xml version=\"1.0\" encoding=\"utf-8\"?>"))
      << bytes.left(60).toStdString();
  EXPECT_TRUE(bytes.contains("Sj\xC3\xB6\xC3\xA5 Regatta"));  // UTF-8 as declared

  qm::Xml_Document d;
  ASSERT_TRUE(d.Load_File(x.Last_export_file));
  // Top level: declaration, race, then the comment.
  const auto top = d.Document_Node().Child_Nodes();
  ASSERT_EQ(top.size(), 3u);
  EXPECT_EQ(top[1].Node_Name(), QStringLiteral("race"));
  ASSERT_EQ(top[2].Node_Type(), qm::Xml_Node::Kind::Comment);
  const qm::App_Globals& g = qm::app();
  EXPECT_EQ(
      top[2].Node_Value(),
      QStringLiteral("XML file containing Quaymark result data for course race. Produced by : "
                     "Quaymark, Free version ") +
          g.Version_String + QStringLiteral(" Compiled at : ") + g.Build_Stamp);

  EXPECT_EQ(Names(top[1].Child_Nodes()), QStringList({"raceinfo", "heats", "results"}));
  const qm::Xml_Node info = d.Select_Single_Node(QStringLiteral("//raceinfo"));
  EXPECT_EQ(Names(info.Child_Nodes()),
            QStringList({"CRLF", "initiated_at", "videofile_initiated_at", "heat_started_at",
                         "last_capture_at", "CRLF", "lastfile", "event", "CRLF", "racetype",
                         "capturehost", "backofficehost", "CRLF"}));
  auto text = [&](const char* p) { return d.Select_Single_Node(QString::fromUtf8(p)).Text(); };
  EXPECT_EQ(text("//videofile_initiated_at"), QStringLiteral("2012-06-09 10:41"));
  EXPECT_EQ(text("//heat_started_at"), QStringLiteral("10:46:33"));
  EXPECT_EQ(text("//last_capture_at"), QStringLiteral("2012-06-09 10:52:10"));
  EXPECT_EQ(text("//lastfile"), QStringLiteral("True"));
  EXPECT_EQ(text("//event"), QStringLiteral("Sjöå Regatta"));
  EXPECT_EQ(text("//racetype"), QStringLiteral("course"));
  EXPECT_EQ(text("//capturehost"), QStringLiteral("CAPTURE1"));
  EXPECT_EQ(text("//backofficehost"), g.Computer_Name);

  const qm::Xml_Node heats = d.Select_Single_Node(QStringLiteral("//heats"));
  EXPECT_EQ(Names(heats.Child_Nodes()), QStringList({"heat", "CRLF"}));
  const qm::Xml_Node h = heats.First_Child();
  EXPECT_EQ(h.Attribute(QStringLiteral("id")), QStringLiteral("A-3"));
  EXPECT_EQ(h.Attribute(QStringLiteral("name")), QStringLiteral("Final A"));
  EXPECT_EQ(h.Attribute(QStringLiteral("start_time")), QStringLiteral("10:46:33,00"));

  const qm::Xml_Node result = d.Select_Single_Node(QStringLiteral("//result[@id='A-3']"));
  EXPECT_EQ(Names(result.Child_Nodes()),
            QStringList({"CRLF", "competitor", "CRLF", "competitor", "CRLF", "competitor"}));
  const qm::Xml_Node c1 = d.Select_Single_Node(QStringLiteral("//competitor[@nbr='3']"));
  EXPECT_EQ(Names(c1.Child_Nodes()), QStringList({"elapsed_time", "delta_time", "place"}));
  EXPECT_EQ(c1.Select_Single_Node(QStringLiteral("elapsed_time")).Text(),
            QStringLiteral("01:23,45"));
  EXPECT_EQ(c1.Select_Single_Node(QStringLiteral("delta_time")).Text(), QStringLiteral("+0,00"));
  EXPECT_EQ(c1.Select_Single_Node(QStringLiteral("place")).Text(), QStringLiteral("1"));
  const qm::Xml_Node dsq = d.Select_Single_Node(QStringLiteral("//competitor[@nbr='1']"));
  EXPECT_EQ(Names(dsq.Child_Nodes()), QStringList({"elapsed_time", "place"}));
  EXPECT_EQ(dsq.Select_Single_Node(QStringLiteral("elapsed_time")).Text(), QStringLiteral("DSQ"));

  // Exporting again rewrites the file from scratch.
  ASSERT_TRUE(x.Cmd_export_Click(false, heat.facts, heat.rows));
  ASSERT_TRUE(d.Load_File(x.Last_export_file));
  EXPECT_EQ(d.Select_Nodes(QStringLiteral("//heat")).size(), 1u);
  EXPECT_EQ(d.Select_Nodes(QStringLiteral("//result")).size(), 1u);
  EXPECT_EQ(d.Select_Nodes(QStringLiteral("//competitor")).size(), 3u);
  EXPECT_EQ(QDir(tmp.path()).entryList(QDir::Files | QDir::Hidden).size(), 1);
  Expect_No_Reports();
}

TEST_F(Result_Xml_Test, CreatingOperationsSkipExistingIds) {
  qm::Class_Quaymark_result_XML x;
  x.Initialize_DOM();
  x.Create_Heat_node("1", "Final", "10:00:00,00");
  x.Create_Heat_node("1", "Again", "11:00:00,00");
  x.Create_Heat_node("O'Brien", "Odd", "");  // an apostrophe in a file's heat ID
  x.Create_Heat_node("O'Brien", "Odd", "");
  x.Create_Result_Node("1");
  x.Create_Result_Node("1");
  x.Create_Result_Node("O'Brien");
  x.Create_Competitor_Node("O'Brien", "4", "01:00,00", "", "", "", "");
  auto& d = x.Document();
  EXPECT_EQ(d.Select_Nodes(QStringLiteral("//heat")).size(), 2u);
  EXPECT_EQ(d.Select_Single_Node(QStringLiteral("//heat[@id='1']")).Attribute("name"),
            QStringLiteral("Final"));
  EXPECT_EQ(d.Select_Nodes(QStringLiteral("//result")).size(), 2u);
  EXPECT_EQ(x.Count_Competitor_Nodes(), 1);
  // No result element for the heat: the creating call raises for its caller.
  const bool created = qm::Trapped(QStringLiteral("caller"), [&] {
    x.Create_Competitor_Node("9", "1", "01:00,00", "", "", "", "");
  });
  EXPECT_FALSE(created);
  ASSERT_EQ(reports.size(), 1u);
  EXPECT_EQ(reports[0].errproc, QStringLiteral("caller"));
  EXPECT_EQ(reports[0].errnum, qm::Err_Object_Missing);
}

TEST_F(Result_Xml_Test, CompetitorReadOverrideDelete) {
  const QString file = Tmp("QuaymarkMarathon_Temp.xml");
  {
    qm::Class_Quaymark_result_XML x;
    x.Initialize_DOM();
    x.XML_Filename(file);
    x.RaceType("marathon");
    x.Create_Result_Node("K1");
    x.Create_Competitor_Node("K1", "101", "1:02:03,45", "+0,00", "1", "Heat1_a.kv2", "1234");
    x.Create_Competitor_Node("K1", "102", "1:05:00,00", "+2:56,55", "2", "Heat1_a.kv2", "1500");
    ASSERT_TRUE(x.Serialize());
  }
  qm::Class_Quaymark_result_XML x;
  ASSERT_TRUE(x.Load_Existing_XML(file));
  x.XML_Filename(file);
  EXPECT_EQ(x.Count_Competitor_Nodes(), 2);
  QString vf;
  int16_t fr = -1;
  EXPECT_TRUE(x.Read_Competitor_node("K1", "102", vf, fr));
  EXPECT_EQ(vf, QStringLiteral("Heat1_a.kv2"));
  EXPECT_EQ(fr, 1500);
  EXPECT_FALSE(x.Read_Competitor_node("K1", "999", vf, fr));
  EXPECT_EQ(vf, QString());
  EXPECT_EQ(fr, 0);

  EXPECT_TRUE(
      x.Override_Competitor_Node("K1", "102", "1:04:59,00", "+9", "7", "Heat2_b.kv2", "42"));
  qm::Class_Quaymark_result_XML back;
  ASSERT_TRUE(back.Load_Existing_XML(file));
  const auto& d = back.Document();
  const QString p = QStringLiteral("//result[@id='K1']/competitor[@nbr='102']/");
  EXPECT_EQ(d.Select_Single_Node(p + "elapsed_time").Text(), QStringLiteral("1:04:59,00"));
  EXPECT_EQ(d.Select_Single_Node(p + "video_file").Text(), QStringLiteral("Heat2_b.kv2"));
  EXPECT_EQ(d.Select_Single_Node(p + "video_frame").Text(), QStringLiteral("42"));
  EXPECT_EQ(d.Select_Single_Node(p + "delta_time").Text(), QStringLiteral("+2:56,55"));
  EXPECT_EQ(d.Select_Single_Node(p + "place").Text(), QStringLiteral("2"));

  EXPECT_TRUE(x.Delete_Competitor_Node("K1", "101"));
  ASSERT_TRUE(back.Load_Existing_XML(file));
  EXPECT_EQ(back.Count_Competitor_Nodes(), 1);
  EXPECT_TRUE(dialogs.records().empty());
  EXPECT_FALSE(x.Delete_Competitor_Node("K1", "101"));
  EXPECT_FALSE(x.Override_Competitor_Node("K1", "555", "0", "", "", "", ""));
  EXPECT_EQ(dialogs.Texts(),
            QStringList({QStringLiteral("Delete failed!"), QStringLiteral("Override failed!")}));
  Expect_No_Reports();
}

TEST_F(Result_Xml_Test, SerializeRefusesReadOnlyTargetAndReports) {
  const QString file = Tmp("QM_Result_Heat7.xml");
  {
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("previous");
  }
  ::chmod(file.toLocal8Bit().constData(), 0444);
  qm::Class_Quaymark_result_XML x;
  x.Initialize_DOM();
  x.XML_Filename(file);
  EXPECT_FALSE(x.Serialize());
  ASSERT_EQ(reports.size(), 1u);
  EXPECT_EQ(reports[0].errproc,
            QStringLiteral("Serialize of Class Module Class_Quaymark_result_XML"));
  EXPECT_EQ(reports[0].errnum, qm::Err_Permission_Denied);
  EXPECT_EQ(Read(file), QByteArray("previous"));

  // Through the export: no export message when the save failed.
  Heat heat;
  qm::Results_Export e;
  e.Export_folder = tmp.path();
  e.Opt_exp_format = qm::Export_Format::XML;
  EXPECT_FALSE(e.Cmd_export_Click(false, heat.facts, heat.rows));
  EXPECT_FALSE(e.Frm_export_mess_visible);
  EXPECT_EQ(Read(file), QByteArray("previous"));
  ::chmod(file.toLocal8Bit().constData(), 0644);
}

TEST_F(Result_Xml_Test, XmlFileNames) {
  struct Case {
    const char* capture;
    const char* name;
  };
  const Case cases[] = {
      {"/d/Heat12_x.kv2", "/r/QM_Result_Heat12.xml"},
      {"/d/demo.kv2", "/r/QM_Result_Heat.xml"},  // no heat number in the name
      {"/d-1/heat3_b.avi", "/r/QM_Result_Heat3.xml"},
      {"/d/Heat1-2_x.kv2", "/r/QM_Result_Heat1-2.xml"},  // kept as it is
  };
  for (const Case& c : cases)
    EXPECT_EQ(qm::Xml_Export_Path(QStringLiteral("/r"), QString::fromUtf8(c.capture)),
              QString::fromUtf8(c.name))
        << c.capture;
}

TEST_F(Result_Xml_Test, HeatResultDocument) {
  Heat heat;
  qm::Results_Export x;
  x.Export_folder = tmp.path();
  ASSERT_TRUE(x.Export_XML_file(heat.facts, heat.rows));
  const QByteArray b = Read(x.Last_export_file);
  EXPECT_TRUE(b.startsWith("<?xml version=\"1.0\" encoding=\"iso-8859-1\"?>"));
  EXPECT_TRUE(b.contains("Event=\"Sj\xF6\xE5 Regatta\""));
  qm::Xml_Document d;
  ASSERT_TRUE(d.Load_File(x.Last_export_file));
  const qm::Xml_Node h = d.Document_Element();
  EXPECT_EQ(h.Node_Name(), QStringLiteral("heat_result"));
  EXPECT_EQ(h.Attribute("heatID"), QStringLiteral("A-3"));
  const auto r = d.Select_Nodes(QStringLiteral("//result"));
  ASSERT_EQ(r.size(), 3u);
  EXPECT_EQ(r[0].Attribute("elapsed_time"), QStringLiteral(" 01:23,45"));
  EXPECT_EQ(r[0].Attribute("delta_time"), QStringLiteral("+0,00"));
  EXPECT_FALSE(r[2].Has_Attribute("delta_time"));
  Expect_No_Reports();
}

}  // namespace

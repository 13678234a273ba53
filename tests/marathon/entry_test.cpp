// Result entry: the race time of the field on show, the results file with
// its entries, duplicates and closing.
#include "marathon_support.h"

#include "platform/date_time.h"
#include "platform/files.h"
#include "shell/app_globals.h"

#include <QDir>
#include <QFile>

namespace qmtest {
namespace {

struct Competitor {
  QString elapsed, file, frame;
  bool has_file = false, has_frame = false;
};

std::optional<Competitor> Stored(const QString& path, const QString& heat, const QString& nbr) {
  qm::Xml_Document d;
  if (!d.Load_File(path)) return std::nullopt;
  const qm::Xml_Node c =
      d.Select_Single_Node("//result[@id='" + heat + "']/competitor[@nbr='" + nbr + "']");
  if (c.Is_None()) return std::nullopt;
  Competitor out;
  out.elapsed = c.Select_Single_Node("elapsed_time").Text();
  const qm::Xml_Node f = c.Select_Single_Node("video_file"),
                     v = c.Select_Single_Node("video_frame");
  out.has_file = !f.Is_None();
  out.has_frame = !v.Is_None();
  if (out.has_file) out.file = f.Text();
  if (out.has_frame) out.frame = v.Text();
  return out;
}

int Count(const QString& path, const QString& xpath) {
  qm::Xml_Document d;
  return d.Load_File(path) ? static_cast<int>(d.Select_Nodes(xpath).size()) : -1;
}

using Race_Time = Marathon_Test;

TEST_F(Race_Time, Is_The_Field_Time_Of_Day_Less_The_Class_Start) {
  const QString heat = Heat("heat.kv2", 4);
  struct Case {
    QString start;
    int32_t field;
    QString heattime, elapsed;
  };
  // Frame n is stamped 10:00:00 + 40 (n - 1) ms; a second field adds 20 ms.
  const std::vector<Case> cases = {
      {"09:30:00", 1, " 10:00:00,00", " 30:00,00"},
      {"09:30:00", 2, " 10:00:00,02", " 30:00,02"},
      {"09:30:00", 7, " 10:00:00,12", " 30:00,12"},
      {"08:59:59,90", 3, " 10:00:00,04", " 1:00:01,04"},  // fractions ignored
      {"10:00:01", 1, " 10:00:00,00", "-00:01,00"},       // before the start
      {"start?", 1, " 10:00:00,00", " 10:00:00,00"},      // not a time: from midnight
  };
  Make_Sheet();
  ASSERT_TRUE(main.file.Open_File(heat));
  for (const Case& c : cases) {
    sheet->Set_Text_start(0, c.start);
    main.Show_Field(c.field);
    EXPECT_EQ(entry->Label_heattime, c.heattime) << c.start.toStdString() << " " << c.field;
    EXPECT_EQ(entry->Label_starttime, c.start);
    EXPECT_EQ(entry->Label_elapsed, c.elapsed) << c.start.toStdString() << " " << c.field;
  }
  Expect_No_Reports();
}

TEST_F(Race_Time, Stays_When_The_Class_Has_No_Start_Or_None_Is_Selected) {
  Make_Sheet(QStringLiteral("09:30:00"));
  ASSERT_TRUE(main.file.Open_File(Heat("heat.kv2")));
  main.Show_Field(1);
  sheet->Set_Text_start(0, "");
  main.Show_Field(3);
  EXPECT_EQ(entry->Label_elapsed, " 30:00,00");
  sheet->Set_Text_start(0, "09:00:00");
  sheet->Deselect_all_Heats();
  main.Show_Field(3);
  EXPECT_EQ(entry->Label_elapsed, " 30:00,00");
  EXPECT_EQ(entry->Label_starttime, "09:30:00");
  Expect_No_Reports();
}

using Entry = Marathon_Test;

TEST_F(Entry, A_Competitor_Is_Stored_Per_Class_And_Kept_Across_Restarts) {
  const QString heat = Heat("heat.kv2");
  Make_Sheet();
  ASSERT_TRUE(main.file.Open_File(heat));
  Load_Entry();
  EXPECT_EQ(dialogs.Texts(), QStringList({"Created a new Marathon result file"}));
  EXPECT_EQ(entry->Label_num_competitors, "0 entries");
  // The new file is the marathon race document.
  qm::Xml_Document d;
  ASSERT_TRUE(d.Load_File(result_path));
  EXPECT_EQ(d.Select_Single_Node("//racetype").Text(), "marathon");
  EXPECT_EQ(d.Select_Single_Node("//lastfile").Text(), "false");
  EXPECT_EQ(d.Select_Single_Node("//event").Text(), "Lake Marathon");
  EXPECT_EQ(d.Select_Single_Node("//capturehost").Text(), main.file.Computer_name());
  EXPECT_EQ(d.Select_Single_Node("//backofficehost").Text(), qm::app().Computer_Name);
  const qm::Xml_Node comment = d.Document_Node().Select_Single_Node("comment()");
  EXPECT_EQ(comment.Node_Value(),
            "XML file containg Quaymark result data for marathon race. Produced by : " +
                qm::app().Product_Name + " " + qm::app().Version_String +
                " Compiled at : " + qm::app().Build_Stamp);

  main.Show_Field(3);
  entry->Text_kanoe_num = "17";
  entry->Command_XML_Click();
  EXPECT_TRUE(main.calls.contains("focus"));
  // The same number in another class is another entry.
  sheet->Text_heat_Click(1, false);
  sheet->Set_Text_start(1, "09:45:00");
  main.Show_Field(4);
  entry->Command_XML_Click();
  EXPECT_EQ(entry->Label_num_competitors, "2 entries");
  EXPECT_EQ(dialogs.Texts().size(), 1) << dialogs.Texts().join("|").toStdString();

  const auto first = Stored(result_path, "101", "17");
  ASSERT_TRUE(first);
  EXPECT_EQ(first->elapsed, "30:00,04");
  EXPECT_EQ(first->file, heat);
  EXPECT_EQ(first->frame, "0003");
  const auto second = Stored(result_path, "102", "17");
  ASSERT_TRUE(second);
  EXPECT_EQ(second->elapsed, "15:00,06");
  EXPECT_EQ(second->frame, "0004");
  ASSERT_TRUE(d.Load_File(result_path));
  const qm::Xml_Node h = d.Select_Single_Node("//heat[@id='101']");
  EXPECT_EQ(h.Attribute("name"), "Class 1");
  EXPECT_EQ(h.Attribute("start_time"), "09:30:00");
  EXPECT_EQ(Count(result_path, "//heats/heat"), 2);

  // A new set-time window loads the file again.
  qm::Marathon_Result_Entry again(*sheet, main);
  again.Result_File = result_path;
  dialogs.Clear();
  again.Form_Load();
  EXPECT_EQ(dialogs.Texts(),
            QStringList({"Loaded existing Marathon results file\r\n2 Competitor entries"}));
  EXPECT_EQ(again.Label_num_competitors, "2 entries");
  Expect_No_Reports();
}

TEST_F(Entry, Needs_A_Competitor_Number) {
  Make_Sheet();
  Load_Entry();
  dialogs.Clear();
  entry->Command_XML_Click();
  EXPECT_EQ(dialogs.Texts(), QStringList({"No competitor entered!"}));
  EXPECT_EQ(Count(result_path, "//competitor"), 0);
}

TEST_F(Entry, Without_A_Capture_File_Has_No_Video_And_Still_Counts_As_Duplicate) {
  Make_Sheet();
  Load_Entry();
  entry->Text_kanoe_num = "5";
  entry->Command_XML_Click();
  const auto stored = Stored(result_path, "101", "5");
  ASSERT_TRUE(stored);
  EXPECT_FALSE(stored->has_file);
  EXPECT_FALSE(stored->has_frame);

  // Timed again with the film open: the duplicate window comes up, and the
  // override gives the entry its video position.
  const QString heat = Heat("heat.kv2");
  ASSERT_TRUE(main.file.Open_File(heat));
  main.Show_Field(5);
  int shown = 0;
  entry->show_duplicate = [&] {
    ++shown;
    EXPECT_FALSE(entry->dual.previous_enabled && !entry->Earlier_File.isEmpty());
    entry->Override_Result();
  };
  dialogs.Clear();
  entry->Command_XML_Click();
  EXPECT_EQ(shown, 1);
  EXPECT_EQ(dialogs.Texts(), QStringList({"New result saved"}));
  const auto over = Stored(result_path, "101", "5");
  ASSERT_TRUE(over);
  EXPECT_EQ(over->elapsed, " 30:00,08");  // as shown, with its space
  EXPECT_EQ(over->file, heat);
  EXPECT_EQ(over->frame, "0005");
  EXPECT_EQ(Count(result_path, "//competitor"), 1);
  Expect_No_Reports();
}

class Duplicate : public Marathon_Test {
 protected:
  void SetUp() override {
    Marathon_Test::SetUp();
    earlier = Heat("earlier.kv2", 6);
    current = Heat("current.kv2", 6);
    Make_Sheet();
    ASSERT_TRUE(main.file.Open_File(earlier));
    Load_Entry();
    main.Show_Field(9);
    entry->Text_kanoe_num = "42";
    entry->Command_XML_Click();
    main.Open_Video(current);
    main.Show_Field(2);
    main.calls.clear();
    dialogs.Clear();
  }
  // Answers the modal window with these steps, in order.
  void Answer(std::vector<void (qm::Marathon_Result_Entry::*)()> steps) {
    entry->show_duplicate = [this, steps] {
      ++shown;
      opened_with.push_back({entry->dual.previous_enabled, entry->dual.current_enabled});
      for (auto step : steps) (entry.get()->*step)();
    };
  }
  QString earlier, current;
  int shown = 0;
  std::vector<std::pair<bool, bool>> opened_with;  // previous, current enabled
};

TEST_F(Duplicate, Do_Nothing_Keeps_The_Earlier_Entry) {
  const QByteArray before = [&] {
    QFile f(result_path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
  }();
  Answer({&qm::Marathon_Result_Entry::Do_Nothing});
  entry->Command_XML_Click();
  EXPECT_EQ(shown, 1);
  EXPECT_EQ(entry->Earlier_File, earlier);
  EXPECT_EQ(entry->Earlier_Field, 9);
  EXPECT_FALSE(entry->dual.visible);
  QFile f(result_path);
  ASSERT_TRUE(f.open(QIODevice::ReadOnly));
  EXPECT_EQ(f.readAll(), before);
  EXPECT_TRUE(dialogs.Texts().isEmpty());
}

TEST_F(Duplicate, Override_Stores_The_Current_Position) {
  Answer({&qm::Marathon_Result_Entry::Override_Result});
  entry->Command_XML_Click();
  EXPECT_EQ(dialogs.Texts(), QStringList({"New result saved"}));
  EXPECT_FALSE(entry->dual.visible);
  const auto c = Stored(result_path, "101", "42");
  ASSERT_TRUE(c);
  EXPECT_EQ(c->file, current);
  EXPECT_EQ(c->frame, "0002");
  EXPECT_EQ(c->elapsed, " 30:00,02");
  EXPECT_EQ(Count(result_path, "//competitor"), 1);
}

TEST_F(Duplicate, A_Failed_Override_Says_So_And_Leaves_The_Window_Up) {
  qm::Set_Read_Only(result_path, true);
  Answer({&qm::Marathon_Result_Entry::Override_Result});
  entry->Command_XML_Click();
  qm::Set_Read_Only(result_path, false);
  EXPECT_EQ(dialogs.Texts(), QStringList({"Override failed!"}));
  EXPECT_TRUE(entry->dual.visible);
  EXPECT_EQ(Stored(result_path, "101", "42")->file, earlier);
}

TEST_F(Duplicate, Showing_The_Earlier_Entry_And_Back) {
  Answer({&qm::Marathon_Result_Entry::See_Previous});
  entry->Command_XML_Click();
  EXPECT_EQ(main.calls, QStringList({"focus", "open earlier.kv2", "show 9"}));
  EXPECT_EQ(main.file.File_name(), earlier);
  EXPECT_FALSE(entry->dual.previous_enabled);
  EXPECT_TRUE(entry->dual.current_enabled);
  // The time labels follow the field on show.
  EXPECT_EQ(entry->Label_elapsed, " 30:00,16");
  main.calls.clear();
  entry->See_Current();
  EXPECT_EQ(main.calls, QStringList({"open current.kv2", "show 2"}));
  EXPECT_TRUE(entry->dual.previous_enabled);
  EXPECT_FALSE(entry->dual.current_enabled);
}

TEST_F(Duplicate, The_Window_Keeps_Its_Buttons_Until_Closed_By_Its_Frame) {
  Answer({&qm::Marathon_Result_Entry::See_Previous, &qm::Marathon_Result_Entry::Do_Nothing});
  entry->Command_XML_Click();
  // The earlier entry's film stays on show.
  EXPECT_EQ(main.file.File_name(), earlier);
  entry->Command_XML_Click();
  Answer({&qm::Marathon_Result_Entry::Dual_Closed_By_Frame});
  main.calls.clear();
  entry->Command_XML_Click();
  // Closing by the frame goes back to where the operator was.
  EXPECT_EQ(main.calls, QStringList({"focus", "open current.kv2", "show 2"}));
  EXPECT_FALSE(entry->dual.loaded);
  entry->Command_XML_Click();
  ASSERT_EQ(opened_with.size(), 4u);
  EXPECT_EQ(opened_with[0], std::make_pair(true, false));
  EXPECT_EQ(opened_with[1], std::make_pair(false, true));
  EXPECT_EQ(opened_with[2], std::make_pair(false, true));
  EXPECT_EQ(opened_with[3], std::make_pair(true, false));
}

using Closing = Marathon_Test;

TEST_F(Closing, Moves_The_File_To_Its_Stamped_Name_And_Starts_Afresh) {
  Make_Sheet();
  Load_Entry();
  entry->Text_kanoe_num = "3";
  entry->Command_XML_Click();
  const qm::Fixed_Now at(QDateTime(QDate(2012, 5, 4), QTime(14, 57, 0)));
  dialogs.Clear();
  entry->Command_close_Click();
  const QString closed = Tmp("MarathonResults120504145700 .xml");
  EXPECT_EQ(dialogs.Texts(), QStringList({"The result file is now closed"}));
  ASSERT_TRUE(qm::File_Exists(closed));
  EXPECT_EQ(Count(closed, "//competitor[@nbr='3']"), 1);
  qm::Xml_Document d;
  ASSERT_TRUE(d.Load_File(closed));
  EXPECT_EQ(d.Select_Single_Node("//lastfile").Text(), "true");
  // The new file is empty and open.
  EXPECT_EQ(Count(result_path, "//competitor"), 0);
  ASSERT_TRUE(d.Load_File(result_path));
  EXPECT_EQ(d.Select_Single_Node("//lastfile").Text(), "false");
  EXPECT_EQ(entry->Label_num_competitors, "0 entries");

  // Closed again within the same second: the next second's name.
  entry->Text_kanoe_num = "4";
  entry->Command_XML_Click();
  entry->Command_close_Click();
  EXPECT_EQ(Count(closed, "//competitor[@nbr='3']"), 1);
  EXPECT_EQ(Count(Tmp("MarathonResults120504145701 .xml"), "//competitor[@nbr='4']"), 1);
  Expect_No_Reports();
}

TEST_F(Closing, A_File_That_Cannot_Be_Saved_Stays_Open_With_Its_Entries) {
  Make_Sheet();
  Load_Entry();
  entry->Text_kanoe_num = "3";
  entry->Command_XML_Click();
  qm::Set_Read_Only(result_path, true);
  dialogs.Clear();
  entry->Command_close_Click();
  qm::Set_Read_Only(result_path, false);
  EXPECT_TRUE(dialogs.Texts().isEmpty());
  ASSERT_EQ(reports.size(), 1u);
  EXPECT_EQ(reports[0].errproc, "Serialize of Class Module Class_Quaymark_result_XML");
  EXPECT_EQ(Count(result_path, "//competitor[@nbr='3']"), 1);
  EXPECT_EQ(QDir(tmp.path()).entryList({"MarathonResults*"}).size(), 0);
}

TEST_F(Entry, An_Unreadable_Results_File_Is_Kept_Aside) {
  {
    QFile f(result_path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("<race><results>");  // cut off
  }
  Make_Sheet();
  Load_Entry();
  EXPECT_EQ(dialogs.Texts(), QStringList({"Created a new Marathon result file"}));
  ASSERT_EQ(reports.size(), 1u);
  EXPECT_EQ(reports[0].errproc, "Load_Existing_XML of Class Module Class_Quaymark_result_XML");
  const QStringList aside = QDir(tmp.path()).entryList({"QuaymarkMarathon_Temp.xml.unreadable-*"});
  ASSERT_EQ(aside.size(), 1);
  QFile f(tmp.filePath(aside[0]));
  ASSERT_TRUE(f.open(QIODevice::ReadOnly));
  EXPECT_EQ(f.readAll(), "<race><results>");
  EXPECT_EQ(Count(result_path, "//results"), 1);
}

}  // namespace
}  // namespace qmtest

// The race sheet: creating, editing and reloading the sheet file, the class
// selection and the fetch from the front office's folder.
#include "marathon_support.h"

#include "platform/files.h"
#include "shell/settings.h"

#include <QDir>
#include <QFile>

namespace qmtest {
namespace {

QByteArray Read(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QString Value(const QString& path, const QString& xpath) {
  qm::Xml_Document d;
  if (!d.Load_File(path)) return QStringLiteral("<unreadable>");
  const qm::Xml_Node n = d.Select_Single_Node(xpath);
  return n.Is_None() ? QStringLiteral("<none>") : n.Text();
}

using Sheet = Marathon_Test;

TEST_F(Sheet, Create_Writes_Thirty_Running_Classes_Under_The_Race_Name) {
  QDir().mkpath(data_folder);
  ASSERT_TRUE(QFile(sheet_path).open(QIODevice::WriteOnly));  // an old sheet is replaced
  sheet->Set_Text_racename(QStringLiteral("Lake Race"));
  sheet->Create_Marathon_file();
  EXPECT_TRUE(sheet->Marathon_File_Present);
  const QByteArray bytes = Read(sheet_path);
  EXPECT_TRUE(bytes.startsWith("<?xml version=\"1.0\" encoding=\"iso-8859-1\"?>"))
      << bytes.left(60).toStdString();
  qm::Xml_Document d;
  ASSERT_TRUE(d.Load_File(sheet_path));
  const qm::Xml_Node root = d.Document_Element();
  EXPECT_EQ(root.Node_Name(), "Quaymark_marathon_file");
  const auto elements = root.Child_Elements();
  ASSERT_EQ(elements.size(), 33u);
  EXPECT_EQ(elements[0].Node_Name(), "event_name");
  EXPECT_EQ(elements[0].Text(), "Lake Race");
  EXPECT_EQ(elements[1].Node_Name(), "event_date");
  EXPECT_EQ(elements[2].Node_Name(), "event_day");
  const qm::Xml_Node comment = root.Select_Single_Node("comment()");
  EXPECT_TRUE(
      comment.Node_Value().startsWith("XML file containing Quaymark marathon file, created at: "));
  for (int k = 1; k <= 30; ++k) {
    const qm::Xml_Node h = elements[static_cast<size_t>(k + 2)];
    EXPECT_EQ(h.Attribute("id"), QString::number(k));
    QStringList names;
    for (const auto& c : h.Child_Elements()) names << c.Node_Name();
    EXPECT_EQ(names.join(","), "heat_num,heat_name,heat_time,heat_running,heat_start");
    EXPECT_EQ(h.Select_Single_Node("heat_running").Text(), "t");
  }
  // The rows show the empty classes, none stopped.
  EXPECT_EQ(sheet->rows[0].start, "");
  EXPECT_FALSE(sheet->rows[29].italic);
  EXPECT_EQ(sheet->Text_racename, "Lake Race");
  Expect_No_Reports();
}

TEST_F(Sheet, Edits_Are_Saved_And_A_New_Window_Shows_Them_Again) {
  Make_Sheet(QStringLiteral("09:30:00"));
  sheet->Set_Text_heat(4, QStringLiteral("K1 č"));  // beyond Latin-1
  sheet->Text_heat_LostFocus(4);
  sheet->Text_start_MouseDown(1, true);   // class 2 stopped
  sheet->Text_start_MouseDown(2, false);  // no Ctrl: nothing
  sheet->Set_Text_racename(QStringLiteral("Lake Race"));
  EXPECT_TRUE(Read(sheet_path).contains("K1 &#269;"));
  EXPECT_EQ(Value(sheet_path, "//heat[@id='1']/heat_start"), "09:30:00");
  EXPECT_EQ(Value(sheet_path, "//heat[@id='2']/heat_running"), "f");
  EXPECT_EQ(Value(sheet_path, "//heat[@id='3']/heat_running"), "t");
  EXPECT_EQ(Value(sheet_path, "//heat[@id='3']/heat_name"), "Class 3");
  EXPECT_EQ(Value(sheet_path, "//event_name"), "Lake Race");

  // Any running value but "t" is a stopped class.
  qm::Xml_Document d;
  ASSERT_TRUE(d.Load_File(sheet_path));
  d.Select_Single_Node("//heat[@id='4']/heat_running").Set_Text("");
  d.Save_File(sheet_path);

  qm::Marathon_Sheet again(main);
  again.Data_Folder = data_folder;
  again.Sheet_Path = sheet_path;
  again.Form_Load();
  EXPECT_TRUE(dialogs.Texts().isEmpty()) << dialogs.Texts().join("|").toStdString();
  EXPECT_EQ(again.rows[0].heat, "101");
  EXPECT_EQ(again.rows[0].name, "Class 1");
  EXPECT_EQ(again.rows[0].start, "09:30:00");
  EXPECT_EQ(again.rows[4].heat, "K1 č");
  EXPECT_FALSE(again.rows[0].italic);
  EXPECT_TRUE(again.rows[1].italic);
  EXPECT_FALSE(again.rows[2].italic);
  EXPECT_TRUE(again.rows[3].italic);
  EXPECT_EQ(again.Text_racename, "Lake Race");
  // Loading selects class 1.
  EXPECT_TRUE(again.rows[0].selected);
  EXPECT_EQ(again.last_Selected_Heat, 1);
  Expect_No_Reports();
}

TEST_F(Sheet, A_Read_Only_Sheet_Loads_Without_Writing_And_Refuses_Edits) {
  Make_Sheet(QStringLiteral("09:30:00"));
  qm::Set_Read_Only(sheet_path, true);
  const QByteArray before = Read(sheet_path);
  qm::Marathon_Sheet again(main);
  again.Data_Folder = data_folder;
  again.Sheet_Path = sheet_path;
  again.Form_Load();
  EXPECT_EQ(again.rows[0].start, "09:30:00");
  EXPECT_EQ(again.rows[2].name, "Class 3");
  Expect_No_Reports();
  again.Set_Text_start(0, "09:31:00");
  qm::Set_Read_Only(sheet_path, false);
  ASSERT_EQ(reports.size(), 1u);
  EXPECT_EQ(reports[0].errproc, "Save_Marathon_File of Form Form_Quaymark_marathon");
  EXPECT_EQ(Read(sheet_path), before);
}

TEST_F(Sheet, Without_A_Sheet_File_Edits_Complain_And_Write_Nothing) {
  sheet->Form_Load();
  EXPECT_EQ(dialogs.Texts(),
            QStringList({"Folder " + data_folder + " Not found, folder was created",
                         "No Marathon XML file found!"}));
  EXPECT_TRUE(qm::Folder_Exists(data_folder));
  EXPECT_FALSE(sheet->Marathon_File_Present);
  dialogs.Clear();
  sheet->Set_Text_heat(0, "7");
  sheet->Text_heat_name_LostFocus(0);
  sheet->Set_Text_start(0, "10:00:00");
  sheet->Text_heat_Click(3, false);  // does nothing without a sheet
  EXPECT_EQ(dialogs.Texts(), QStringList({"No Marathon file! (thc)", "No Marathon file! (smf)"}));
  EXPECT_EQ(sheet->last_Selected_Heat, 1);
  EXPECT_FALSE(qm::File_Exists(sheet_path));
  Expect_No_Reports();
}

TEST_F(Sheet, Selection_Follows_Clicks_And_Passes_The_Class_To_Set_Time) {
  Make_Sheet();
  sheet->Text_heat_Click(2, true);  // Ctrl keeps class 1
  EXPECT_TRUE(sheet->rows[0].selected);
  EXPECT_TRUE(sheet->rows[2].selected);
  EXPECT_EQ(sheet->last_Selected_Heat, 3);
  EXPECT_EQ(entry->Lbl_heatID, "103");
  EXPECT_EQ(entry->Lbl_heatname, "Class 3");
  sheet->Text_heat_Click(1, false);
  EXPECT_FALSE(sheet->rows[0].selected);
  EXPECT_TRUE(sheet->rows[1].selected);
  sheet->Select_Heat(1, false);  // deselecting still makes it the last one
  EXPECT_EQ(sheet->last_Selected_Heat, 1);
  EXPECT_EQ(sheet->Selected_Start(), "09:30:00");
  sheet->Form_Click();
  EXPECT_EQ(sheet->last_Selected_Heat, 0);
  EXPECT_EQ(sheet->Selected_Start(), std::nullopt);
  for (const auto& r : sheet->rows) EXPECT_FALSE(r.selected);

  // Out of marathon mode the set-time labels stay; with a file open the
  // field is shown again.
  main.marathon = false;
  ASSERT_TRUE(main.file.Open_File(Heat("h.kv2")));
  main.field = 3;
  main.calls.clear();
  sheet->Text_heat_Click(2, false);
  EXPECT_EQ(entry->Lbl_heatID, "102");
  EXPECT_EQ(main.calls, QStringList({"redisplay", "show 3"}));
  Expect_No_Reports();
}

TEST(Time_Of_Day, Reads_Clock_Times_And_Refuses_The_Rest) {
  const std::vector<std::pair<QString, std::optional<int32_t>>> cases = {{"10:00:00", 36000},
                                                                         {"9:05", 32700},
                                                                         {" 11:22:33,44", 40953},
                                                                         {"08:00:01.5", 28801},
                                                                         {"00:00:00", 0},
                                                                         {"", std::nullopt},
                                                                         {"abc", std::nullopt},
                                                                         {"24:00:00", std::nullopt},
                                                                         {"10:60:00", std::nullopt},
                                                                         {"10", std::nullopt}};
  for (const auto& [text, seconds] : cases)
    EXPECT_EQ(qm::Time_Of_Day_Seconds(text), seconds) << text.toStdString();
}

// ---- Front office ----------------------------------------------------------------

class Front_Office : public Marathon_Test {
 protected:
  void SetUp() override {
    Marathon_Test::SetUp();
    fo = Tmp("front_office");
    QDir().mkpath(data_folder);
  }
  void Use_Folder(const QString& folder) {
    qm::Write_Ini_String("Canoe", "fo_data_folder", folder);
    sheet->load_FO_data_folder();
    sheet->Label_fodf_status_Click();
  }
  void Write_Front_Office_Sheet(const QString& path) {
    qm::Marathon_Sheet office(main);
    office.Data_Folder = fo;
    office.Sheet_Path = path;
    office.Text_racename = "Front Office Race";
    office.Create_Marathon_file();
    office.Set_Text_heat(0, "501");
    office.Text_heat_LostFocus(0);
  }
  QString fo;
};

TEST_F(Front_Office, Status_Must_Be_Known_Before_A_Copy) {
  sheet->load_FO_data_folder();
  EXPECT_EQ(sheet->Label_fodf, QDir::homePath() + "/");
  EXPECT_EQ(sheet->Label_fodf_status, "");
  sheet->Copy_XML_file();
  EXPECT_EQ(dialogs.Texts(), QStringList({"Folder not ready"}));
}

TEST_F(Front_Office, A_Missing_Folder_Is_Not_Ready) {
  Use_Folder(fo + "/");  // not made
  EXPECT_EQ(sheet->Label_fodf_status, "Not ready!");
  EXPECT_FALSE(sheet->FO_Folder_Ready);
  sheet->Copy_XML_file();
  EXPECT_EQ(dialogs.Texts(), QStringList({"Folder not ready"}));
  EXPECT_FALSE(qm::File_Exists(sheet_path));
}

TEST_F(Front_Office, A_Folder_Without_The_Sheet_Says_So) {
  QDir().mkpath(fo);
  Use_Folder(fo + "/");
  EXPECT_EQ(sheet->Label_fodf_status, "Local");
  EXPECT_TRUE(sheet->FO_Folder_Ready);
  sheet->Copy_XML_file();
  EXPECT_EQ(dialogs.Texts(), QStringList({"Marathon.xml not found in folder: Local"}));
  Expect_No_Reports();
}

TEST_F(Front_Office, The_Sheet_Is_Copied_And_Shown_At_Once) {
  QDir().mkpath(fo);
  Write_Front_Office_Sheet(fo + "/marathon.xml");
  sheet->Form_Load();  // no sheet on this PC yet
  ASSERT_FALSE(sheet->Marathon_File_Present);
  Use_Folder(fo + "/");
  dialogs.Clear();
  sheet->Copy_XML_file();
  EXPECT_EQ(dialogs.Texts(), QStringList({"Marathon.xml copied into this PC!"}));
  EXPECT_EQ(Read(sheet_path), Read(fo + "/marathon.xml"));
  EXPECT_FALSE(sheet->Label_lastmodified.isEmpty());
  EXPECT_TRUE(sheet->Marathon_File_Present);
  EXPECT_EQ(sheet->rows[0].heat, "501");
  EXPECT_EQ(sheet->Text_racename, "Front Office Race");
  Expect_No_Reports();
}

TEST_F(Front_Office, A_Folder_Text_Without_Separator_Names_Another_File) {
  QDir().mkpath(fo);
  Write_Front_Office_Sheet(Tmp("front_officemarathon.xml"));
  Use_Folder(fo);
  sheet->Copy_XML_file();
  EXPECT_EQ(dialogs.Texts(), QStringList({"Marathon.xml copied into this PC!"}));
  EXPECT_EQ(Read(sheet_path), Read(Tmp("front_officemarathon.xml")));
}

TEST_F(Front_Office, A_Chosen_Folder_Is_Stored_With_Its_Separator) {
  QDir().mkpath(fo);
  dialogs.File_With(fo);
  sheet->Label_fodf_Click();
  EXPECT_EQ(qm::Read_Ini_String("Canoe", "fo_data_folder", ""), fo + "/");
  EXPECT_EQ(sheet->Label_fodf, fo + "/");
  EXPECT_EQ(sheet->Label_fodf_status, "Local");
  // Cancelled: the folder stays, the status is looked at again.
  dialogs.Clear();
  QDir(fo).removeRecursively();
  sheet->Label_fodf_Click();
  EXPECT_EQ(sheet->Label_fodf, fo + "/");
  EXPECT_EQ(sheet->Label_fodf_status, "Not ready!");
}

TEST_F(Front_Office, A_Network_Folder_Shows_Its_Share) {
  QDir().mkpath(fo);
  sheet->mount_info_for_test = QString("36 1 0:40 / %1 rw - cifs //office/marathon rw\n").arg(fo);
  Use_Folder(fo + "/");
  EXPECT_EQ(sheet->Label_fodf_status, "//office/marathon");
  EXPECT_TRUE(sheet->FO_Folder_Ready);
}

}  // namespace
}  // namespace qmtest

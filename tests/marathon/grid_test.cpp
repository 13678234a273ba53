// The results grid: the rows of the results file and deleting an entry.
#include "marathon_support.h"

#include "marathon/marathon_grid.h"
#include "platform/files.h"
#include "support/run_program.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace qmtest {
namespace {

class Grid : public Marathon_Test {
 protected:
  void SetUp() override {
    Marathon_Test::SetUp();
    Make_Sheet();
    Load_Entry();
    // Class 101: three entries, class 102: two, entered in between.
    Enter(0, "7");
    Enter(1, "20");
    Enter(0, "3");
    Enter(0, "12");
    Enter(1, "21");
    dialogs.Clear();
  }
  void Enter(int row, const QString& nbr) {
    sheet->Text_heat_Click(row, false);
    entry->Text_kanoe_num = nbr;
    entry->Command_XML_Click();
  }
  QStringList Rows() const {
    QStringList out;
    for (const auto& r : grid.rows) out << r.heat_id + "/" + r.competitor + "/" + r.time;
    return out;
  }
  qm::Marathon_Grid grid;
};

TEST_F(Grid, Lists_Each_Class_In_File_Order) {
  grid.Fill(result_path);
  EXPECT_EQ(Rows(), QStringList({"101/7/00:00:00,00", "101/3/00:00:00,00", "101/12/00:00:00,00",
                                 "102/20/00:00:00,00", "102/21/00:00:00,00"}));
  EXPECT_EQ(grid.Label_file, "File: " + result_path + "\r\n5 entries");
  Expect_No_Reports();
}

TEST_F(Grid, Deletes_An_Entry_Only_When_Confirmed) {
  grid.Fill(result_path);
  grid.Delete_Row(1, *entry);  // unanswered: Cancel
  EXPECT_EQ(grid.rows.size(), 5u);
  dialogs.Answer_With(qm::Answer::OK);
  grid.Delete_Row(1, *entry);
  EXPECT_EQ(dialogs.Texts(), QStringList({"Do you want do delete this entry?",
                                          "Do you want do delete this entry?"}));
  EXPECT_EQ(Rows().join(","),
            "101/7/00:00:00,00,101/12/00:00:00,00,102/20/00:00:00,00,102/21/00:00:00,00");
  EXPECT_EQ(entry->Label_num_competitors, "4 entries");
  // The header row has no entry: nothing is asked.
  dialogs.Clear();
  grid.Delete_Row(-1, *entry);
  EXPECT_TRUE(dialogs.Texts().isEmpty());
  Expect_No_Reports();
}

TEST_F(Grid, The_Last_Entry_Of_A_Class_Leaves_Its_Class_Behind) {
  grid.Fill(result_path);
  for (int i = 0; i < 2; ++i) {
    dialogs.Answer_With(qm::Answer::OK);
    grid.Delete_Row(3, *entry);
  }
  EXPECT_EQ(grid.rows.size(), 3u);
  qm::Xml_Document d;
  ASSERT_TRUE(d.Load_File(result_path));
  EXPECT_FALSE(d.Select_Single_Node("//result[@id='102']").Is_None());
  EXPECT_FALSE(d.Select_Single_Node("//heat[@id='102']").Is_None());
  EXPECT_EQ(grid.Label_file, "File: " + result_path + "\r\n3 entries");
}

TEST_F(Grid, A_Delete_That_Cannot_Be_Saved_Shows_The_File_Unchanged) {
  grid.Fill(result_path);
  qm::Set_Read_Only(result_path, true);
  dialogs.Answer_With(qm::Answer::OK);
  grid.Delete_Row(0, *entry);
  qm::Set_Read_Only(result_path, false);
  EXPECT_EQ(dialogs.Texts().last(), "Delete failed!");
  EXPECT_EQ(grid.rows.size(), 5u);
  EXPECT_EQ(grid.rows[0].competitor, "7");
}

}  // namespace
}  // namespace qmtest

namespace qmtest {
namespace {

TEST_F(Grid, Qmtool_Lists_The_Entries) {
  const Run_Result r = Qmtool({"marathon", result_path, "--json"});
  ASSERT_EQ(r.status, 0) << r.err.toStdString();
  const QJsonObject o = QJsonDocument::fromJson(r.out).object();
  EXPECT_EQ(o.value("file").toString(), result_path);
  const QJsonArray entries = o.value("entries").toArray();
  ASSERT_EQ(entries.size(), 5);
  EXPECT_EQ(entries[3].toObject().value("heat_id").toString(), "102");
  EXPECT_EQ(entries[3].toObject().value("competitor").toString(), "20");
  EXPECT_EQ(entries[3].toObject().value("time").toString(), "00:00:00,00");

  const Run_Result missing = Qmtool({"marathon", Tmp("none.xml")});
  EXPECT_EQ(missing.status, 1);
  EXPECT_TRUE(missing.err.contains("Fill_Grid of Form Form_Marathon_flexgrid"))
      << missing.err.toStdString();
}

}  // namespace
}  // namespace qmtest

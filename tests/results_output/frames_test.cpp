// The output frames in the results window: the export button writes the
// file and shows the message, the print commands reach the preview.
#include "capture_file/avi_handler.h"
#include "fixtures/kv_fixtures.h"
#include "race_timing/file_player.h"
#include "race_timing/race_session.h"
#include "race_timing/ui/frm_results.h"
#include "results_output/printing.h"
#include "results_output/ui/form_lcs_preview.h"
#include "results_output/ui/results_output_frames.h"
#include "shell/settings.h"
#include "support/test_env.h"

#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>

namespace {

class Frames_Test : public qmtest::Test {
 protected:
  void SetUp() override {
    qmtest::Test::SetUp();
    saved = qm::print_setup();
    qm::Check_Printer({});
    qm::Compute_Print_Margins();
    qm::Write_Ini_String("Canoe", "export_folder", tmp.path());
    qm::Write_Ini_String("Canoe", "expformat", "1");
  }
  void TearDown() override {
    qm::print_setup() = saved;
    qmtest::Test::TearDown();
  }
  qm::Print_Setup saved;
  qm::cls_AVI_handler file;
  qm::Race_Session race;
  qm::File_Player player{file};
};

TEST_F(Frames_Test, ExportButtonAndPreview) {
  qm::ui::Frm_results window(race);
  qm::ui::Results_Output_Frames frames(window, race, nullptr);
  // No printer: only the preview.
  EXPECT_EQ(frames.Opt_printer[1]->text(), QStringLiteral("No printer"));
  EXPECT_FALSE(frames.Opt_printer[1]->isEnabled());
  EXPECT_TRUE(frames.Printer().Preview_Mode);
  EXPECT_EQ(frames.Lbl_export_folder->text(), tmp.path());
  EXPECT_TRUE(frames.Opt_exp_format[0]->isChecked());

  // No file open: nothing is printed.
  frames.Handle_Print_results();
  EXPECT_EQ(dialogs.Texts(), QStringList(QStringLiteral("No file open!")));

  qmtest::KV2_Options o;
  o.frames = 10;
  o.lanes = 6;
  const auto w = qmtest::Make_KV2(Tmp("Heat3_0001.kv2"), o);
  ASSERT_TRUE(w.ok);
  ASSERT_TRUE(qm::Open_For_Timing(w.path, file, race, player));
  player.Show_Field(7);
  race.Attach_Time(4, 0, false);

  window.show();
  EXPECT_TRUE(frames.Frm_export_mess->isHidden());
  frames.Cmd_export->click();
  EXPECT_TRUE(QFileInfo::exists(tmp.path() + QStringLiteral("/QM_Result_HeatH1.csv")));
  EXPECT_FALSE(frames.Frm_export_mess->isHidden());
  EXPECT_TRUE(
      frames.Text_export_mess->toPlainText().endsWith(QStringLiteral("QM_Result_HeatH1.csv")));
  frames.Cmd_result_export_OK->click();
  EXPECT_TRUE(frames.Frm_export_mess->isHidden());

  frames.Opt_exp_format[1]->click();
  EXPECT_EQ(qm::Read_Ini_String("Canoe", "expformat", "1"), QStringLiteral("2"));

  dialogs.Clear();
  frames.Handle_Print_results();
  EXPECT_TRUE(dialogs.records().empty());
  EXPECT_TRUE(frames.Preview()->isVisible());
  EXPECT_FALSE(frames.Preview()->Page().Empty());
  EXPECT_EQ(frames.Preview()->windowTitle(), QStringLiteral("Printer preview"));

  // "Save as PDF" from the preview.
  dialogs.File_With(Tmp("page"));
  frames.Preview()->Cmd_save_pdf_Click();
  EXPECT_TRUE(QFileInfo::exists(Tmp("page.pdf")));
  frames.Preview()->hide();
  Expect_No_Reports();
}

TEST_F(Frames_Test, PreviewSizeFollowsTheWorkArea) {
  EXPECT_EQ(qm::ui::Preview_Size(11904, 16834, 2000), QSize(794, 1122));
  EXPECT_EQ(qm::ui::Preview_Size(11904, 16834, 561), QSize(397, 561));
}

}  // namespace

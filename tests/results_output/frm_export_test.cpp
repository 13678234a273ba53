// The "Export form" debug window: in- and out-points from the player, the
// fields stepped through and the names they are handed under.
#include "results_output/ui/frm_export.h"
#include "capture_file/avi_handler.h"
#include "fixtures/kv_fixtures.h"
#include "race_timing/file_player.h"
#include "race_timing/race_session.h"
#include "support/test_env.h"

#include <QDir>
#include <QLineEdit>

namespace {

using Frm_Export_Test = qmtest::Test;

TEST_F(Frm_Export_Test, StepsFromInPointToOutPoint) {
  qmtest::KV2_Options o;
  o.frames = 10;
  const auto w = qmtest::Make_KV2(Tmp("Heat7_0001.kv2"), o);
  ASSERT_TRUE(w.ok);
  qm::cls_AVI_handler file;
  qm::Race_Session race;
  qm::File_Player player(file);
  ASSERT_TRUE(qm::Open_For_Timing(w.path, file, race, player));

  auto* form = new qm::ui::Frm_export(player, w.path);
  // Without both points nothing is stepped.
  EXPECT_FALSE(form->Cmd_export_Click());
  player.Show_Field(3);
  form->Text_inpoint_Click();
  player.Show_Field(6);
  form->Text_outpoint_Click();
  EXPECT_EQ(form->Text_inpoint->text(), QStringLiteral("3"));
  EXPECT_EQ(form->Text_outpoint->text(), QStringLiteral("6"));
  EXPECT_TRUE(form->Cmd_export_Click());
  const QString base = QDir::homePath() + QStringLiteral("/temp/kanottest/Heat7_");
  EXPECT_EQ(form->saved_names, QStringList({base + "0003.jpg", base + "0004.jpg", base + "0005.jpg",
                                            base + "0006.jpg"}));
  EXPECT_EQ(player.Current_Field(), 6);
  EXPECT_FALSE(QDir(QDir::homePath() + QStringLiteral("/temp/kanottest")).exists());
  form->Unload();
  delete form;
  Expect_No_Reports();
}

}  // namespace

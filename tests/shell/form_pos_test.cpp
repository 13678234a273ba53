// Window positions in section windowpos.
#include "platform/ini_profile.h"
#include "shell/app_globals.h"
#include "shell/settings.h"
#include "support/test_env.h"

#include <optional>

namespace {

class Form_Pos_Test : public qmtest::Test {
 protected:
  void SetUp() override {
    qmtest::Test::SetUp();
    saved_path_ = qm::app().Ini_Path;
    qm::app().Ini_Path = Tmp("Quaymark.ini");
    // A 1280 x 960 pixel screen.
    saved_hook_ = qm::Set_Screen_Size_Hook([] { return QSize(19200, 14400); });
  }
  void TearDown() override {
    qm::Set_Screen_Size_Hook(std::move(saved_hook_));
    qm::app().Ini_Path = saved_path_;
    qmtest::Test::TearDown();
  }
  std::optional<QString> Stored(const QString& form) {
    return qm::Ini_Read(qm::app().Ini_Path, "windowpos", form);
  }

 private:
  QString saved_path_;
  qm::Screen_Size_Hook saved_hook_;
};

TEST_F(Form_Pos_Test, StoreWritesFourNumbersUnlessMinimised) {
  qm::Store_Form_Pos("Frm_export", 1200, 900, 0, 0);
  EXPECT_EQ(Stored("Frm_export"), "1200,900,0,0");
  qm::Store_Form_Pos("Form_Quaymark_marathon", -150, -150, 4800, 3600);
  EXPECT_EQ(Stored("Form_Quaymark_marathon"), "-150,-150,4800,3600");

  // Minimised windows sit far off the screen: store nothing, keep the old value.
  qm::Store_Form_Pos("Frm_export", -48000, -48000, 0, 0);
  qm::Store_Form_Pos("Frm_export", 100, -151, 0, 0);
  qm::Store_Form_Pos("Frm_export", -151, 100, 0, 0);
  EXPECT_EQ(Stored("Frm_export"), "1200,900,0,0");
  Expect_No_Reports();
  EXPECT_TRUE(dialogs.records().empty());
}

TEST_F(Form_Pos_Test, GetAppliesLimitsAndReportsMalformedValues) {
  using P = qm::Form_Pos;
  struct Case {
    const char* stored;  // nullptr: no key
    std::optional<P> expected;
    const char* message;  // nullptr: none
  };
  const Case cases[] = {
      {nullptr, P{0, 0, 0, 0}, nullptr},
      {"1200,900", P{1200, 900, 0, 0}, nullptr},
      {"1200,900,4800,3600", P{1200, 900, 4800, 3600}, nullptr},
      {" 15 , 30 ,0", P{15, 30, 0, 0}, nullptr},
      {"-150,-150", P{-150, -150, 0, 0}, nullptr},
      {"-151,-48000", P{0, 0, 0, 0}, nullptr},
      {"19200,14400", P{19200, 14400, 0, 0}, nullptr},
      {"19201,100", P{0, 100, 0, 0}, nullptr},
      {"100,14401", P{100, 0, 0, 0}, nullptr},
      {"100", std::nullopt, "Get_Form_Pos error 20"},
      {"abc,100", std::nullopt, "Get_Form_Pos error 30"},
      {"100,,", std::nullopt, "Get_Form_Pos error 40"},
      {"100,200,wide", std::nullopt, "Get_Form_Pos error 50"},
      {"100,200,0,99999999999", std::nullopt, "Get_Form_Pos error 60"},
  };
  for (const Case& c : cases) {
    dialogs.Clear();
    if (c.stored) qm::Ini_Write(qm::app().Ini_Path, "windowpos", "Frm_export", c.stored);
    const std::optional<P> got = qm::Get_Form_Pos("Frm_export");
    const char* what = c.stored ? c.stored : "(none)";
    ASSERT_EQ(got.has_value(), c.expected.has_value()) << what;
    if (got) {
      EXPECT_EQ(got->left, c.expected->left) << what;
      EXPECT_EQ(got->top, c.expected->top) << what;
      EXPECT_EQ(got->width, c.expected->width) << what;
      EXPECT_EQ(got->height, c.expected->height) << what;
    }
    EXPECT_EQ(dialogs.Texts(), c.message ? QStringList{c.message} : QStringList{}) << what;
  }
  // These routines show their own message instead of the error report.
  Expect_No_Reports();
}

TEST_F(Form_Pos_Test, NoScreenMeansNoScreenLimit) {
  qm::Set_Screen_Size_Hook([] { return QSize(); });
  qm::Ini_Write(qm::app().Ini_Path, "windowpos", "Frm_export", "99999,99999");
  const auto p = qm::Get_Form_Pos("Frm_export");
  ASSERT_TRUE(p);
  EXPECT_EQ(p->left, 99999);
  EXPECT_EQ(p->top, 99999);
}

}  // namespace

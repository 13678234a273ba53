// The About window, the Specials probes and "Rename File" through the real
// main window's menus.
#include "fixtures/kv_fixtures.h"
#include "main_window_support.h"
#include "platform/codec_registry.h"
#include "platform/date_time.h"
#include "platform/field_graphics.h"
#include "platform/files.h"
#include "results_output/printing.h"
#include "results_output/ui/form_lcs_preview.h"
#include "results_output/ui/results_output_frames.h"
#include "shell/app_globals.h"
#include "shell/ui/frm_about.h"

#include <QApplication>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
#include <QSlider>
#include <QUrl>

namespace qmtest {
namespace {

class About : public Main_Window_Test {
 protected:
  void SetUp() override {
    Main_Window_Test::SetUp();
    w->host_lookup.host_name = [](int&) { return std::optional<QString>("boat-pc"); };
    w->host_lookup.resolve = [](const QString&) {
      return QList<QHostAddress>{QHostAddress("fe80::1"), QHostAddress("10.20.30.40")};
    };
    w->host_lookup.interface_addresses = [] { return QList<QHostAddress>{}; };
  }
  qm::ui::Frm_about* Open_About() {
    w->item_about->trigger();
    EXPECT_TRUE(w->about);
    return w->about;
  }
  QStringList Page_Texts() const {
    QStringList out;
    for (const qm::Page_Item& i : w->output->Preview()->Page().Items())
      if (i.kind == qm::Page_Item::Kind::Text) out << i.text;
    return out;
  }
};

TEST_F(About, CtrlAShowsEveryLabel) {
  EXPECT_EQ(w->item_about->shortcut(), QKeySequence("Ctrl+A"));
  qm::Ensure_DV_Codec();
  qm::ui::Frm_about* a = Open_About();
  ASSERT_TRUE(a);
  ASSERT_TRUE(a->isVisible());
  const qm::App_Globals& g = qm::app();
  EXPECT_EQ(a->windowTitle(), QStringLiteral("About Quaymark, Free version"));
  EXPECT_EQ(a->Lbldescription->text(), QStringLiteral("Quaymark, free version"));
  EXPECT_EQ(a->Frame_version->title(), QStringLiteral("Version info"));
  EXPECT_EQ(a->Frame_technical->title(), QStringLiteral("Technical info"));
  EXPECT_TRUE(
      QRegularExpression(R"(^Version \d+\.\d+\.\d+, Compile date: \d{4}-\d\d-\d\d \d\d:\d\d$)")
          .match(a->Lblversion->text())
          .hasMatch())
      << a->Lblversion->text().toStdString();
  EXPECT_TRUE(a->Lblversion->text().endsWith(g.Build_Stamp));
  EXPECT_TRUE(QRegularExpression(R"(^\.exe Filedate = \d{4}-\d\d-\d\d \d\d:\d\d:\d\d$)")
                  .match(a->Lbl_filedate->text())
                  .hasMatch());
  EXPECT_TRUE(a->Lbldisclaimer->text().contains(QStringLiteral("https://")));
  EXPECT_EQ(a->Lbl_fourcc->text(), QStringLiteral("DV fourcc: ") + qm::DV_Codec_Code());
  EXPECT_FALSE(qm::DV_Codec_Code().isEmpty());
  EXPECT_EQ(a->Lbl_VexaGraphics->text(),
            QStringLiteral("VexaGraphics: ") + QString::fromLatin1(qm::BlendVersion()));
  EXPECT_TRUE(a->Lbl_vexacap->text().isEmpty());
  EXPECT_TRUE(a->Label_phidget_version->text().isEmpty());
  EXPECT_EQ(a->Lbl_IP->text(), QStringLiteral("Local IP address = 10.20.30.40"));
  EXPECT_EQ(a->Label_userapp->text(), QStringLiteral("User appdata at: \n") + g.User_Folder);
  EXPECT_EQ(a->Label_userapp->toolTip(), QStringLiteral("Click to open this folder!"));
  EXPECT_EQ(a->Label_userapp->palette().color(QPalette::WindowText), QColor(Qt::blue));
  EXPECT_EQ(a->Command_OK->text(), QStringLiteral("Ok"));
  EXPECT_TRUE(a->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
  // The product picture, centred.
  ASSERT_FALSE(a->Picture_product->pixmap().isNull());
  EXPECT_EQ(a->Picture_product->pixmap().size(), QSize(200, 109));
  EXPECT_NEAR(a->Picture_product->geometry().center().x(), a->width() / 2, 2);
  EXPECT_TRUE(a->Picture_company->pixmap().isNull());
  EXPECT_TRUE(dialogs.Texts().isEmpty());
  EXPECT_GT(qm::memory_status().initial_phys, 0);  // read at start-up
  a->Command_OK->click();
  EXPECT_FALSE(a->isVisible());
}

TEST_F(About, AddressStaysEmptyWithoutNameResolution) {
  w->host_lookup.resolve = [](const QString&) { return QList<QHostAddress>{}; };
  qm::ui::Frm_about* a = Open_About();
  ASSERT_TRUE(a);
  EXPECT_EQ(a->Lbl_IP->text(), QStringLiteral("Local IP address = "));
  EXPECT_EQ(
      dialogs.Texts(),
      QStringList{"Windows Sockets are not responding. Unable to successfully get Host Name."});
}

TEST_F(About, ClicksOnTheFolderAndTheCompanyPicture) {
  qm::ui::Frm_about* a = Open_About();
  ASSERT_TRUE(a);
  std::vector<QUrl> opened;
  a->open_url = [&](const QUrl& u) {
    opened.push_back(u);
    return true;
  };
  Mouse_Click(a->Label_userapp, Qt::LeftButton);
  ASSERT_EQ(opened.size(), 1u);
  EXPECT_EQ(opened[0], QUrl::fromLocalFile(qm::app().User_Folder));

  // Without Ctrl nothing; with Ctrl the main window's "Specials" comes out.
  Mouse_Click(a->Picture_company, Qt::LeftButton);
  EXPECT_FALSE(w->menu_specials->menuAction()->isVisible());
  Key_Press(a, Qt::Key_Control);
  Mouse_Click(a->Picture_company, Qt::LeftButton);
  Key_Release(a, Qt::Key_Control);
  EXPECT_TRUE(w->menu_specials->menuAction()->isVisible());
}

TEST_F(About, FormMenuPrintsThePictureAndHidesDebugUntilCtrl) {
  qm::ui::Frm_about* a = Open_About();
  ASSERT_TRUE(a);
  EXPECT_FALSE(a->menu_debug->menuAction()->isVisible());
  EXPECT_FALSE(a->menu_sources->menuAction()->isVisible());
  a->menu_form->aboutToShow();
  EXPECT_FALSE(a->menu_debug->menuAction()->isVisible());
  Key_Press(a, Qt::Key_Control);
  a->menu_form->aboutToShow();
  Key_Release(a, Qt::Key_Control);
  EXPECT_TRUE(a->menu_debug->menuAction()->isVisible());

  // No printer: the window's picture goes to the preview.
  a->item_print->trigger();
  const std::vector<qm::Page_Item>& items = w->output->Preview()->Page().Items();
  ASSERT_EQ(items.size(), 1u);
  EXPECT_EQ(items[0].kind, qm::Page_Item::Kind::Picture);
  EXPECT_EQ(items[0].picture.size(), a->grab().size());
  Expect_No_Reports();

  const qm::Fixed_Now at(QDateTime(QDate(2026, 12, 11), QTime(9, 5, 7)));
  a->item_date_formats->trigger();
  ASSERT_EQ(dialogs.Texts().size(), 1);
  const QStringList lines = dialogs.Texts()[0].split(QStringLiteral("\r\n"));
  ASSERT_EQ(lines.size(), 5);
  EXPECT_EQ(lines[3], QStringLiteral("ISODate = 2026-12-11"));
  EXPECT_EQ(lines[4], QStringLiteral("ISOnow = 2026-12-11 09:05:07"));
}

TEST_F(About, PrinterTestPrintsTwoLinesUnderItsTitleAndRestoresTheCaption) {
  const QString caption = w->windowTitle();
  QStringList titles;
  QObject::connect(w, &QWidget::windowTitleChanged, [&](const QString& t) { titles << t; });
  w->Menu_Item(w->menu_specials, QStringLiteral("printer test"))->trigger();
  EXPECT_EQ(Page_Texts(), (QStringList{"Testing A,B,C", "Testing 1,2,3"}));
  EXPECT_EQ(titles.value(0), QString::fromLatin1(qm::Print_Test_Title));
  EXPECT_EQ(w->windowTitle(), caption);
  Expect_No_Reports();
}

TEST_F(About, DiskPerformanceShowsTheRate) {
  w->disk_test.path = Tmp("perftest");
  w->disk_test.blocks = 3;
  w->disk_test.block_size = 200000;
  Save_Bytes(Tmp("perftest"), Bytes(10, 1));  // left over: removed silently
  w->Menu_Item(w->menu_specials, QStringLiteral("Disk performance"))->trigger();
  ASSERT_EQ(dialogs.Texts().size(), 1);
  EXPECT_TRUE(QRegularExpression(R"(^\d+(\.\d)? MBytes/sec$)").match(dialogs.Texts()[0]).hasMatch())
      << dialogs.Texts()[0].toStdString();
  EXPECT_FALSE(QFile::exists(Tmp("perftest")));
  EXPECT_FALSE(QApplication::overrideCursor());
}

TEST_F(About, RenameFileMovesTheClosedFile) {
  struct Case {
    const char* name;
    std::optional<QString> answer;
    int32_t error;  // 0: no report
    bool moved;
  };
  Save_Bytes(Tmp("taken.kv2"), Bytes(5, 1));
  const std::vector<Case> cases = {
      {"renamed", Tmp("renamed.kv2"), 0, true},
      {"cancelled", std::nullopt, 0, false},
      {"empty", QString(), 52, false},
      {"existing", Tmp("taken.kv2"), 58, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const QString path = Heat(QString::fromLatin1(c.name) + QStringLiteral("_src.kv2"));
    const int64_t length = qm::File_Length(path);
    Open(path);
    dialogs.Clear();
    reports.clear();
    dialogs.Input_With(c.answer);
    w->Menu_Item(w->menu_debug, QStringLiteral("Rename File"))->trigger();
    EXPECT_FALSE(w->core.File_Is_Open());
    ASSERT_EQ(dialogs.records().size(), 1u);
    EXPECT_EQ(dialogs.records()[0].text, QStringLiteral("New filename?"));
    EXPECT_EQ(dialogs.records()[0].title, QStringLiteral("Name change"));
    EXPECT_EQ(dialogs.records()[0].detail, path);
    EXPECT_EQ(QFile::exists(path), !c.moved);
    if (c.moved) {
      EXPECT_EQ(qm::File_Length(*c.answer), length);
    }
    if (c.error) {
      ASSERT_EQ(reports.size(), 1u);
      EXPECT_EQ(reports[0].errproc, QStringLiteral("rename_file of Form frm_kanot_2"));
      EXPECT_EQ(reports[0].errnum, c.error);
    } else {
      EXPECT_TRUE(reports.empty());
    }
  }
  EXPECT_EQ(qm::File_Length(Tmp("taken.kv2")), 5);
}

}  // namespace
}  // namespace qmtest

// The error window, headless.
#include "shell/ui/error_form.h"
#include "shell/app_globals.h"
#include "shell/error_report.h"
#include "shell/startup.h"
#include "support/test_env.h"

#include <QCoreApplication>
#include <QFile>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPrinter>
#include <QProgressBar>
#include <QPushButton>
#include <QUrlQuery>

#include <memory>
#include <optional>

namespace {

class Error_Form_Test : public qmtest::Test {
 protected:
  void SetUp() override {
    qmtest::Test::SetUp();
    saved_ = qm::app();
    qm::app().User_Folder = tmp.path();
    form = std::make_unique<qm::ui::KVS_error_form>();
    form->printer_available = [] { return false; };
    form->open_url = [this](const QUrl& u) {
      opened.push_back(u);
      return true;
    };
    qm::Install_Error_Report();
    qm::Set_Error_Report_View(form.get());
  }
  void TearDown() override {
    form.reset();
    qm::app() = saved_;
    qmtest::Test::TearDown();
  }
  QString Log() {
    QFile f(qm::Error_Log_Path());
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
  }
  static void Fail_In(const char* proc) {
    qm::Trapped(qm::Where_Form(proc, "frm_kanot_2"), [] { qm::Raise(qm::Err_File_Not_Found); });
  }
  std::unique_ptr<qm::ui::KVS_error_form> form;
  std::vector<QUrl> opened;

 private:
  qm::App_Globals saved_;
};

TEST_F(Error_Form_Test, LayoutCaptionsAndStaysOnTop) {
  EXPECT_EQ(form->windowTitle(), "Quaymark, Free version error");
  EXPECT_EQ(form->Lbl_heading->text(), "Quaymark, Free version error report");
  EXPECT_GT(form->Lbl_heading->font().pointSizeF(), form->err_lbl->font().pointSizeF());
  EXPECT_EQ(form->err_lbl->frameShape(), QFrame::Box);
  EXPECT_TRUE(form->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
  EXPECT_FALSE(form->isModal());
  EXPECT_FALSE(form->isVisible());  // loaded hidden
  EXPECT_EQ(form->Text_error_comments->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
  EXPECT_EQ(form->Text_error_comments->parentWidget()->property("title").toString(),
            "Enter comments here");

  form->show();
  EXPECT_TRUE(form->Progress->isHidden());
  const QList<QPushButton*> buttons = {form->Cmd_print_error, form->Cmd_save_log, form->Cmd_mailto,
                                       form->Cmd_continue, form->Cmd_exit};
  const QStringList captions = {"Print report", "Save in log file", "Send mail", "Continue",
                                "Exit program"};
  for (int i = 0; i < buttons.size(); ++i) {
    EXPECT_EQ(buttons[i]->text(), captions[i]);
    if (i > 0) {
      EXPECT_GT(buttons[i]->x(), buttons[i - 1]->x()) << "left to right";
    }
  }
  // The exit sequence finds it among the loaded windows.
  const auto loaded = qm::Loaded_Windows();
  EXPECT_NE(std::find(loaded.begin(), loaded.end(), form.get()), loaded.end());
}

TEST_F(Error_Form_Test, ReportsReplaceEachOtherAndCommentsSurvive) {
  Fail_In("Attach_Time");
  ASSERT_TRUE(form->isVisible());
  form->Text_error_comments->setPlainText("timing lane 3");
  form->Cmd_continue->click();
  EXPECT_FALSE(form->isVisible());

  Fail_In("Load_Lanes");
  EXPECT_TRUE(form->isVisible());
  EXPECT_TRUE(form->err_lbl->text().startsWith(
      "Location of error: Load_Lanes of Form frm_kanot_2 line: 0\nerror description: 53, "))
      << form->err_lbl->text().toStdString();
  EXPECT_FALSE(form->err_lbl->text().contains("Attach_Time"));
  EXPECT_EQ(form->Text_error_comments->toPlainText(), "timing lane 3");

  // Both entries in the log, the second with the comments; "Save in log
  // file" appends the report on show once more.
  form->Cmd_save_log->click();
  const QString log = Log();
  EXPECT_EQ(log.count("Location of error: "), 3);
  EXPECT_EQ(log.count("Location of error: Attach_Time of Form frm_kanot_2"), 1);
  EXPECT_EQ(log.count("Location of error: Load_Lanes of Form frm_kanot_2"), 2);
  EXPECT_EQ(log.count("\r\ntiming lane 3\r\n*****"), 2);
  EXPECT_TRUE(dialogs.records().empty());
}

TEST_F(Error_Form_Test, PrintWithoutPrinterSaysSo) {
  bool prepared = false;
  form->prepare_printer = [&](QPrinter&) { prepared = true; };
  Fail_In("Attach_Time");
  form->Cmd_print_error->click();
  EXPECT_EQ(dialogs.Texts(), QStringList{"No printer availible"});
  EXPECT_FALSE(prepared);
}

TEST_F(Error_Form_Test, PrintPutsThePageOnThePrinter) {
  const QString pdf = Tmp("report.pdf");
  form->printer_available = [] { return true; };
  form->prepare_printer = [&](QPrinter& p) {
    p.setOutputFormat(QPrinter::PdfFormat);
    p.setOutputFileName(pdf);
  };
  Fail_In("Attach_Time");
  form->Cmd_print_error->click();
  EXPECT_TRUE(dialogs.records().empty());
  EXPECT_TRUE(form->Progress->isHidden());
  QFile f(pdf);
  ASSERT_TRUE(f.open(QIODevice::ReadOnly));
  EXPECT_TRUE(f.read(5) == "%PDF-");
  EXPECT_GT(f.size(), 1000);

  // A printer that cannot start the page: "Printer error".
  form->prepare_printer = [&](QPrinter& p) {
    p.setOutputFormat(QPrinter::PdfFormat);
    p.setOutputFileName(Tmp("no-such-folder/report.pdf"));
  };
  form->Cmd_print_error->click();
  EXPECT_EQ(dialogs.Texts(), QStringList{"Printer error"});
  EXPECT_TRUE(form->Progress->isHidden());
}

TEST_F(Error_Form_Test, SendMailHandsTheDesktopAMailtoLink) {
  Fail_In("Attach_Time");
  form->Text_error_comments->setPlainText("see lane 3");
  form->Cmd_mailto->click();
  ASSERT_EQ(opened.size(), 1u);
  EXPECT_EQ(opened[0].scheme(), "mailto");
  EXPECT_EQ(opened[0].path(), qm::Maker().email);
  const QString body = QUrlQuery(opened[0]).queryItemValue("body", QUrl::FullyDecoded);
  EXPECT_TRUE(body.contains("  Location of error: Attach_Time of Form frm_kanot_2"));
  EXPECT_TRUE(body.endsWith("  see lane 3"));
}

TEST_F(Error_Form_Test, ExitProgramEndsAtOnceAndUnloadLeaves) {
  std::optional<int> ended;
  const auto saved = qm::Set_End_Program_Hook([&](int s) { ended = s; });
  form->Cmd_exit->click();
  qm::Set_End_Program_Hook(saved);
  EXPECT_EQ(ended, 0);
  EXPECT_TRUE(dialogs.records().empty()) << "no confirmation";

  form->Unload();
  EXPECT_EQ(qm::Error_View(), nullptr);
  const auto loaded = qm::Loaded_Windows();
  EXPECT_EQ(std::find(loaded.begin(), loaded.end(), form.get()), loaded.end());
  form.release();  // Unload deletes it later
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

}  // namespace

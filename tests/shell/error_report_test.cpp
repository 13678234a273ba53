// The error report: its text, the log entry, and what a report does.
#include "shell/error_report.h"
#include "shell/app_globals.h"
#include "support/test_env.h"

#include <QFile>
#include <QImage>
#include <QPainter>
#include <QRegularExpression>
#include <QUrlQuery>

namespace {

// A view that records what it is shown, with comments the operator typed.
class Recording_View : public qm::Error_Report_View {
 public:
  void Show_Report(const QString& text) override { shown.push_back(text); }
  QString Comments() const override { return comments; }
  void Set_Captions(const QString& c, const QString& h) override {
    caption = c;
    heading = h;
  }
  QStringList shown;
  QString comments;
  QString caption, heading;
};

// Known globals, the real error report as sink, the log in the temporary folder.
class Error_Report_Test : public qmtest::Test {
 protected:
  void SetUp() override {
    qmtest::Test::SetUp();
    saved_ = qm::app();
    qm::App_Globals& g = qm::app();
    g.Version_String = "3.0.17";
    g.Build_Stamp = "2012-05-04 14:57";
    g.Run_Mode = 0;
    g.Computer_Name = "regatta-pc";
    g.User_Folder = tmp.path();
    qm::Install_Error_Report();
    qm::Set_Error_Report_View(&view);
  }
  void TearDown() override {
    qm::Set_Error_Report_View(nullptr);
    qm::app() = saved_;
    qmtest::Test::TearDown();  // puts the recording sink back
  }
  QString Log() {
    QFile f(qm::Error_Log_Path());
    if (!f.open(QIODevice::ReadOnly)) return "<missing>";
    return QString::fromUtf8(f.readAll());
  }
  Recording_View view;

 private:
  qm::App_Globals saved_;
};

const char* const Report_11 =
    "Location of error: item_misbehave_Click of Form frm_kanot_2 line: 20\r\n"
    "error description: 11, Division by zero\r\n"
    "Quaymark, Free version Program version 3.0.17 rm0 Compile date: 2012-05-04 14:57\r\n"
    "Extra information: program name: Quaymark, Free version Caption = \r\n";

TEST_F(Error_Report_Test, ReportTextHasItsFourLines) {
  EXPECT_EQ(qm::Build_Report_Text("Division by zero", 11, 20,
                                  "item_misbehave_Click of Form frm_kanot_2", ""),
            QString::fromLatin1(Report_11));
  qm::app().Run_Mode = 10;
  EXPECT_EQ(
      qm::Build_Report_Text("File not found", 53, 0, "fso_Youngest_files of Module fso_functions",
                            "result 2, lane 3 "),
      "Location of error: fso_Youngest_files of Module fso_functions line: 0\r\n"
      "error description: 53, File not found\r\n"
      "Quaymark, Free version Program version 3.0.17 rm10 Compile date: 2012-05-04 14:57\r\n"
      "Extra information: result 2, lane 3 program name: Quaymark, Free version Caption = "
      "\r\n");
}

TEST_F(Error_Report_Test, LogEntryLayout) {
  const QDateTime when(QDate(2012, 5, 4), QTime(14, 57, 3));
  EXPECT_EQ(qm::Error_Log_Entry(Report_11, "it happened\r\nwhile timing", when),
            "Saved  at: 2012-05-04 14:57:03\r\n"
            "\r\n"
            "Quaymark, Free version version 3.0.17 rm0 Compile date: 2012-05-04 14:57\r\n"
            "Computer: regatta-pc\r\n"
            "\r\n" +
                QString::fromLatin1(Report_11) +
                "\r\n"
                "it happened\r\nwhile timing\r\n"
                "********************************************\r\n");
}

TEST_F(Error_Report_Test, TwoReportsInARowShowTheSecondAndLogBoth) {
  view.comments = "my comment";
  qm::Trapped(qm::Where_Form("item_misbehave_Click", "frm_kanot_2"), [] {
    qm::Line(20);
    (void)qm::Divide(5, 0);
  });
  qm::Trapped(qm::Where_Class("Write_XML_header", "cls_AVI_handler"),
              [] { qm::Raise(qm::Err_Permission_Denied); });

  ASSERT_EQ(view.shown.size(), 2u);
  EXPECT_EQ(view.shown[0], QString::fromLatin1(Report_11));
  EXPECT_TRUE(view.shown[1].startsWith(
      "Location of error: Write_XML_header of Class Module cls_AVI_handler line: 0\r\n"
      "error description: 70, Permission denied\r\n"));
  EXPECT_EQ(qm::Last_Report_Text(), view.shown[1]);

  const QString log = Log();
  const QRegularExpression entry(
      "Saved  at: \\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d\\r\\n\\r\\n"
      "Quaymark, Free version version 3.0.17 rm0 Compile date: 2012-05-04 14:57\\r\\n"
      "Computer: regatta-pc\\r\\n\\r\\n"
      "Location of error: ([^\\r]*)\\r\\n(?:[^\\r]*\\r\\n){3}\\r\\n"
      "my comment\\r\\n\\*{44}\\r\\n");
  QStringList locations;
  qsizetype at = 0;
  for (auto m = entry.match(log); m.hasMatch(); m = entry.match(log, at)) {
    EXPECT_EQ(m.capturedStart(), at) << "entries must follow each other";
    locations << m.captured(1);
    at = m.capturedEnd();
  }
  EXPECT_EQ(at, log.size());
  EXPECT_EQ(locations, (QStringList{"item_misbehave_Click of Form frm_kanot_2 line: 20",
                                    "Write_XML_header of Class Module cls_AVI_handler line: 0"}));
  EXPECT_TRUE(dialogs.records().empty());
}

TEST_F(Error_Report_Test, FailuresOfTheReportItselfShowTheirOwnMessages) {
  // The log cannot be written.
  qm::app().User_Folder = Tmp("gone");
  qm::KVS_error_handler("Division by zero", 11, 0, "p of Module m", "");
  EXPECT_EQ(dialogs.Texts(), QStringList{"Log errorPath not found 76"});
  EXPECT_EQ(view.shown.size(), 1u);

  // The view fails while the report is built: a plain message, no exception.
  class Failing_View : public qm::Error_Report_View {
    void Show_Report(const QString&) override { qm::Raise(qm::Err_Invalid_Call); }
  } failing;
  qm::Set_Error_Report_View(&failing);
  dialogs.Clear();
  qm::KVS_error_handler("x", 11, 0, "p of Module m", "");
  EXPECT_EQ(dialogs.Texts(),
            QStringList{"Error in Error_formInvalid procedure call or argument5 0"});
}

TEST_F(Error_Report_Test, InitializeSetsCaptionAndHeading) {
  qm::KVS_Error_Initialize();
  EXPECT_EQ(view.caption, "Quaymark, Free version error");
  EXPECT_EQ(view.heading, "Quaymark, Free version error report");
}

TEST_F(Error_Report_Test, MailLinkCarriesSubjectAndBodyWhole) {
  const QDateTime when(QDate(2012, 5, 4), QTime(14, 57, 0));
  const QString comments = "a & b = c #1 ?x 50% +1";
  const QUrl link = qm::Error_Mail_Link(Report_11, comments, when);
  ASSERT_TRUE(link.isValid());
  EXPECT_EQ(link.scheme(), "mailto");
  EXPECT_EQ(link.path(), qm::Maker().email);
  const QUrlQuery q(link);
  EXPECT_EQ(q.queryItemValue("subject", QUrl::FullyDecoded), " Quaymark, Free version error");
  EXPECT_EQ(q.queryItemValue("body", QUrl::FullyDecoded),
            "Gen.at: 2012-05-04 14:57:00\r\n"
            " Quaymark, Free version Program version 3.0.17 rm0 Compile date: 2012-05-04 "
            "14:57\r\n"
            " Computer: regatta-pc\r\n"
            "  " +
                QString::fromLatin1(Report_11) + "  " + comments);
  EXPECT_EQ(q.queryItems().size(), 2);
}

TEST_F(Error_Report_Test, PrintedPageHoldsTheReportAndTheContacts) {
  const QDateTime when(QDate(2012, 5, 4), QTime(14, 57, 0));
  const auto runs = qm::Error_Report_Page(Report_11, "my comment", when);
  QString all;
  for (const auto& r : runs) all += r.text;
  const QStringList expected_in_order = {
      "Quaymark, Free version error report\n\n",
      "Printed at: 2012-05-04 14:57:00\n",
      "Quaymark, Free version version 3.0.17 rm0 Compile date: 2012-05-04 14:57\n",
      "Computer: regatta-pc\n",
      QString::fromLatin1(Report_11),
      "my comment\n",
      "What to do with this error report?\n",
      "To help fix the error, please report it by using any of the methods listed below!\n",
      "1 Send by normal mail to:\n" + qm::Maker().postal_address.join("\n") + "\n",
      "2 E-mail to: " + qm::Maker().email + "\n",
      "3 Call " + qm::Maker().phones + "\n"};
  qsizetype at = 0;
  for (const QString& part : expected_in_order) {
    const qsizetype i = all.indexOf(part, at);
    EXPECT_GE(i, at) << part.toStdString();
    if (i >= at) at = i + part.size();
  }
  EXPECT_EQ(qm::Maker().postal_address.size(), 4);
  ASSERT_FALSE(runs.empty());
  EXPECT_EQ(runs.front().point_size, 24);
  int italics = 0;
  for (const auto& r : runs)
    if (r.italic) {
      ++italics;
      EXPECT_EQ(r.text, "What to do with this error report?\n");
    }
  EXPECT_EQ(italics, 1);

  // Drawn: ink starts near 100, 100 twips and goes down the page.
  QImage page(800, 1100, QImage::Format_RGB32);
  page.setDotsPerMeterX(3780);  // 96 dots an inch
  page.setDotsPerMeterY(3780);
  page.fill(Qt::white);
  {
    QPainter p(&page);
    qm::Draw_Error_Report_Page(p, runs);
  }
  int first_row = -1, last_row = -1, first_col = page.width();
  for (int y = 0; y < page.height(); ++y)
    for (int x = 0; x < page.width(); ++x)
      if (qGray(page.pixel(x, y)) < 128) {
        if (first_row < 0) first_row = y;
        last_row = y;
        first_col = std::min(first_col, x);
      }
  ASSERT_GE(first_row, 0) << "nothing drawn";
  EXPECT_GE(first_row, 100 / 15);
  EXPECT_GE(first_col, 100 / 15);
  EXPECT_LE(first_col, 100 / 15 + 4);
  EXPECT_GT(last_row - first_row, 300) << "the lines go down the page";
}

}  // namespace

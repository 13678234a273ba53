#pragma once
// The error report: every trapped failure of the program ends here. It builds
// the four-line report text, hands it to the installed view (the
// KVS_error_form window, qmtool's standard error, or a test's recorder) and
// appends the entry to "errlog.txt". It never raises a failure itself.

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <QUrl>

#include <cstdint>
#include <vector>

class QPainter;

namespace qm {

class Error_Report_View {
 public:
  virtual ~Error_Report_View() = default;
  // Shows `report_text` (replacing any report on show), without waiting.
  virtual void Show_Report(const QString& report_text) = 0;
  // The operator's comments; they go into every log entry.
  virtual QString Comments() const { return {}; }
  // Caption and heading of the window (KVS_Error_Initialize).
  virtual void Set_Captions(const QString& caption, const QString& heading) {
    (void)caption;
    (void)heading;
  }
};

// Not owned; nullptr: no view (the report is still logged).
void Set_Error_Report_View(Error_Report_View* view);
Error_Report_View* Error_View();

void KVS_error_handler(const QString& errdesc, int32_t errnum, int16_t errline,
                       const QString& errproc, const QString& err_extra);

// Caption `Product_Name` & " error" and heading `Product_Name` & " error
// report" onto the view.
void KVS_Error_Initialize();
QString Error_Form_Caption();
QString Error_Form_Heading();

// The report text of the four lines, CR LF after each.
QString Build_Report_Text(const QString& errdesc, int32_t errnum, int16_t errline,
                          const QString& errproc, const QString& err_extra);

// Text of the last report built (the label's caption).
QString Last_Report_Text();

// Appends the current report with the view's comments to the error log.
void Write_Error_Log();
// Appends one entry for `report_text`; a failure shows "Log error".
void Write_Error_Log(const QString& report_text, const QString& comments);
// The entry as it is appended.
QString Error_Log_Entry(const QString& report_text, const QString& comments, const QDateTime& when);

// Path of "errlog.txt" (in the per-user folder, which stands for the
// program folder).
QString Error_Log_Path();

// Makes KVS_error_handler the sink of every trapped failure.
void Install_Error_Report();

// "Quaymark, Free version version 1.0.0 rm0 Compile date: ..." (log entry
// and printed report).
QString Error_Version_Line();

// The maker's contact texts printed on the report and used for the mail link.
struct Maker_Contact {
  QStringList postal_address;  // four lines
  QString email;
  QString phones;
};
const Maker_Contact& Maker();

// The "mailto:" link of "Send mail".
QUrl Error_Mail_Link(const QString& report_text, const QString& comments, const QDateTime& when);

// One print statement of the printed report: its text (which may hold line
// breaks) in the given font.
struct Print_Run {
  int point_size = 12;
  bool italic = false;
  QString text;
};
std::vector<Print_Run> Error_Report_Page(const QString& report_text, const QString& comments,
                                         const QDateTime& when);
// Draws the runs from 100, 100 twips down the page of `painter`'s device.
void Draw_Error_Report_Page(QPainter& painter, const std::vector<Print_Run>& runs);

}  // namespace qm

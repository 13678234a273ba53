#pragma once
// The error report: every trapped failure of the program ends here. It builds
// the four-line report text, appends the entry to "errlog.txt" and hands the
// text to the installed view (the KVS_error_form window, qmtool's standard
// error, or a test's recorder).

#include <QString>

#include <cstdint>

namespace qm {

class Error_Report_View {
public:
  virtual ~Error_Report_View() = default;
  // Shows `report_text` (replacing any report on show).
  virtual void Show_Report(const QString& report_text) = 0;
};

// Not owned; nullptr: no view (the report is still logged).
void Set_Error_Report_View(Error_Report_View* view);

void KVS_error_handler(const QString& errdesc, int32_t errnum, int16_t errline,
                       const QString& errproc, const QString& err_extra);

// The report text of the four lines, CR LF after each.
QString Build_Report_Text(const QString& errdesc, int32_t errnum, int16_t errline,
                          const QString& errproc, const QString& err_extra);

// Text of the last report built (the label's caption).
QString Last_Report_Text();

// Appends the current report with `comments` to the error log.
void Write_Error_Log(const QString& comments = {});

// Path of "errlog.txt".
QString Error_Log_Path();

// Makes KVS_error_handler the sink of every trapped failure.
void Install_Error_Report();

}  // namespace qm

#include "shell/error_report.h"

#include "platform/failure.h"
#include "shell/app_globals.h"
#include "platform/dialogs.h"
#include "shell/trace.h"

#include <QDateTime>
#include <QFile>

namespace qm {

namespace {
Error_Report_View* g_view = nullptr;
QString g_last_report;
}  // namespace

void Set_Error_Report_View(Error_Report_View* view) { g_view = view; }

QString Build_Report_Text(const QString& errdesc, int32_t errnum, int16_t errline,
                          const QString& errproc, const QString& err_extra) {
  const App_Globals& g = app();
  const QString crlf = QStringLiteral("\r\n");
  QString t = QStringLiteral("Location of error: ") + errproc + QStringLiteral(" line: ") +
              QString::number(errline) + crlf;
  t += QStringLiteral("error description: ") + QString::number(errnum) + QStringLiteral(", ") +
       errdesc + crlf;
  t += g.Product_Name + QStringLiteral(" Program version ") + g.Version_String +
       QStringLiteral(" rm") + QString::number(g.Run_Mode) + QStringLiteral(" ") +
       QStringLiteral("Compile date: ") + g.Build_Stamp + crlf;
  t += QStringLiteral("Extra information: ") + err_extra + QStringLiteral("program name: ") +
       g.Product_Name + QStringLiteral(" Caption = ") + crlf;
  return t;
}

QString Last_Report_Text() { return g_last_report; }

QString Error_Log_Path() { return app().User_Folder + QStringLiteral("/errlog.txt"); }

void Write_Error_Log(const QString& comments) {
  const App_Globals& g = app();
  QFile f(Error_Log_Path());
  if (!f.open(QIODevice::Append)) {
    MsgBox(QStringLiteral("Log error") + f.errorString() + QStringLiteral(" ") +
           QString::number(Err_Path_Access));
    return;
  }
  const QString crlf = QStringLiteral("\r\n");
  QString e = QStringLiteral("Saved  at: ") +
              QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")) +
              crlf + crlf;
  e += g.Product_Name + QStringLiteral(" version ") + g.Version_String + QStringLiteral(" rm") +
       QString::number(g.Run_Mode) + QStringLiteral(" ") + QStringLiteral("Compile date: ") +
       g.Build_Stamp + crlf;
  e += QStringLiteral("Computer: ") + g.Computer_Name + crlf + crlf;
  e += g_last_report + crlf;
  e += comments + crlf;
  e += QString(44, QLatin1Char('*')) + crlf;
  f.write(e.toLocal8Bit());
}

void KVS_error_handler(const QString& errdesc, int32_t errnum, int16_t errline,
                       const QString& errproc, const QString& err_extra) {
  Trace_Text(QStringLiteral("*KVS_error_handler1"));
  Trace_Text(QStringLiteral("*KVS_error_handler2"));
  g_last_report = Build_Report_Text(errdesc, errnum, errline, errproc, err_extra);
  if (g_view) g_view->Show_Report(g_last_report);
  Write_Error_Log();
  Trace_Text(QStringLiteral("*KVS_error_handler5"));
}

void Install_Error_Report() {
  Set_Failure_Sink([](const Failure_Report& r) {
    KVS_error_handler(r.errdesc, r.errnum, r.errline, r.errproc, r.err_extra);
  });
}

}  // namespace qm

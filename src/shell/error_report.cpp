#include "shell/error_report.h"

#include "platform/dialogs.h"
#include "platform/failure.h"
#include "shell/app_globals.h"
#include "shell/trace.h"

#include <QFile>
#include <QFont>
#include <QFontMetrics>
#include <QPaintDevice>
#include <QPainter>

#include <fcntl.h>
#include <unistd.h>
#include <cerrno>

namespace qm {

namespace {
Error_Report_View* g_view = nullptr;
QString g_last_report;

const QString Crlf = QStringLiteral("\r\n");

QString Now_Text(const QDateTime& when) {
  return when.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

int32_t Errno_Number(int e) {
  switch (e) {
    case ENOENT:
    case ENOTDIR:
      return Err_Path_Not_Found;
    case EACCES:
    case EPERM:
    case EROFS:
      return Err_Permission_Denied;
    default:
      return Err_Path_Access;
  }
}

void Append_To_File(const QString& path, const QByteArray& bytes) {
  const int fd =
      ::open(QFile::encodeName(path).constData(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0666);
  if (fd < 0) Raise(Errno_Number(errno));
  const char* p = bytes.constData();
  qsizetype left = bytes.size();
  while (left > 0) {
    const ssize_t n = ::write(fd, p, static_cast<size_t>(left));
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      const int e = errno;
      ::close(fd);
      Raise(Errno_Number(e));
    }
    p += n;
    left -= n;
  }
  if (::close(fd) != 0) Raise(Errno_Number(errno));
}
}  // namespace

void Set_Error_Report_View(Error_Report_View* view) {
  g_view = view;
}
Error_Report_View* Error_View() {
  return g_view;
}

QString Error_Form_Caption() {
  return app().Product_Name + QStringLiteral(" error");
}
QString Error_Form_Heading() {
  return app().Product_Name + QStringLiteral(" error report");
}

void KVS_Error_Initialize() {
  if (g_view) g_view->Set_Captions(Error_Form_Caption(), Error_Form_Heading());
}

QString Build_Report_Text(const QString& errdesc, int32_t errnum, int16_t errline,
                          const QString& errproc, const QString& err_extra) {
  const App_Globals& g = app();
  QString t = QStringLiteral("Location of error: ") + errproc + QStringLiteral(" line: ") +
              QString::number(errline) + Crlf;
  t += QStringLiteral("error description: ") + QString::number(errnum) + QStringLiteral(", ") +
       errdesc + Crlf;
  t += g.Product_Name + QStringLiteral(" Program version ") + g.Version_String +
       QStringLiteral(" rm") + QString::number(g.Run_Mode) + QStringLiteral(" ") +
       QStringLiteral("Compile date: ") + g.Build_Stamp + Crlf;
  t += QStringLiteral("Extra information: ") + err_extra + QStringLiteral("program name: ") +
       g.Product_Name + QStringLiteral(" Caption = ") + Crlf;
  return t;
}

QString Last_Report_Text() {
  return g_last_report;
}

QString Error_Log_Path() {
  return app().User_Folder + QStringLiteral("/errlog.txt");
}

QString Error_Version_Line() {
  const App_Globals& g = app();
  return g.Product_Name + QStringLiteral(" version ") + g.Version_String + QStringLiteral(" rm") +
         QString::number(g.Run_Mode) + QStringLiteral(" ") + QStringLiteral("Compile date: ") +
         g.Build_Stamp;
}

QString Error_Log_Entry(const QString& report_text, const QString& comments,
                        const QDateTime& when) {
  QString e = QStringLiteral("Saved  at: ") + Now_Text(when) + Crlf + Crlf;
  e += Error_Version_Line() + Crlf;
  e += QStringLiteral("Computer: ") + app().Computer_Name + Crlf + Crlf;
  e += report_text + Crlf;
  e += comments + Crlf;
  e += QString(44, QLatin1Char('*')) + Crlf;
  return e;
}

void Write_Error_Log(const QString& report_text, const QString& comments) {
  Trapped_Own(
      false,
      [&] {
        Append_To_File(
            Error_Log_Path(),
            Error_Log_Entry(report_text, comments, QDateTime::currentDateTime()).toUtf8());
        return true;
      },
      [](const Failure_Report& r) {
        MsgBox(QStringLiteral("Log error") + r.errdesc + QStringLiteral(" ") +
               QString::number(r.errnum));
      });
}

void Write_Error_Log() {
  Write_Error_Log(g_last_report, g_view ? g_view->Comments() : QString());
}

void KVS_error_handler(const QString& errdesc, int32_t errnum, int16_t errline,
                       const QString& errproc, const QString& err_extra) {
  Trapped_Own(
      false,
      [&] {
        Trace_Text(QStringLiteral("*KVS_error_handler1"));
        const QString text = Build_Report_Text(errdesc, errnum, errline, errproc, err_extra);
        g_last_report = text;
        // Showing the window lets queued events run, so a later report may
        // replace the text on show; this report's own entry is logged below.
        if (g_view) g_view->Show_Report(text);
        Trace_Text(QStringLiteral("*KVS_error_handler2"));
        Write_Error_Log(text, g_view ? g_view->Comments() : QString());
        Trace_Text(QStringLiteral("*KVS_error_handler5"));
        return true;
      },
      [](const Failure_Report& r) {
        MsgBox(QStringLiteral("Error in Error_form") + r.errdesc + QString::number(r.errnum) +
               QStringLiteral(" ") + QString::number(r.errline));
      });
}

void Install_Error_Report() {
  Set_Failure_Sink([](const Failure_Report& r) {
    KVS_error_handler(r.errdesc, r.errnum, r.errline, r.errproc, r.err_extra);
  });
}

const Maker_Contact& Maker() {
  static const Maker_Contact m{
      {QStringLiteral("Quaymark Timing"), QStringLiteral("Harbour Road 1"),
       QStringLiteral("000 00 Quayside"), QStringLiteral("Example Country")},
      QStringLiteral("support@quaymark.example"),
      QStringLiteral("+00 000 000 000 (office), +00 000 000 001 (mobile)")};
  return m;
}

QUrl Error_Mail_Link(const QString& report_text, const QString& comments, const QDateTime& when) {
  const App_Globals& g = app();
  const QString subject = QStringLiteral(" ") + g.Product_Name + QStringLiteral(" error");
  QString body = QStringLiteral("Gen.at: ") + Now_Text(when) + Crlf;
  body += QStringLiteral(" ") + g.Product_Name + QStringLiteral(" Program version ") +
          g.Version_String + QStringLiteral(" rm") + QString::number(g.Run_Mode) +
          QStringLiteral(" ") + QStringLiteral("Compile date: ") + g.Build_Stamp + Crlf;
  body += QStringLiteral(" Computer: ") + g.Computer_Name + Crlf;
  body += QStringLiteral("  ") + report_text;
  body += QStringLiteral("  ") + comments;
  // Every character outside the unreserved set is escaped, so "&", "=" and
  // "#" in the texts cannot cut the link short.
  const QByteArray link = "mailto:" + QUrl::toPercentEncoding(Maker().email, "@") +
                          "?subject=" + QUrl::toPercentEncoding(subject) +
                          "&body=" + QUrl::toPercentEncoding(body);
  return QUrl::fromEncoded(link, QUrl::StrictMode);
}

std::vector<Print_Run> Error_Report_Page(const QString& report_text, const QString& comments,
                                         const QDateTime& when) {
  const App_Globals& g = app();
  const Maker_Contact& m = Maker();
  const QString nl = QStringLiteral("\n");
  std::vector<Print_Run> runs;
  runs.push_back({24, false, g.Product_Name + QStringLiteral(" error report") + nl + nl});
  runs.push_back({12, false, QStringLiteral("Printed at: ") + Now_Text(when) + nl});
  runs.push_back({12, false, Error_Version_Line() + nl});
  runs.push_back({12, false, QStringLiteral("Computer: ") + g.Computer_Name + nl});
  runs.push_back({12, false, report_text});
  runs.push_back({12, false, comments + nl});
  runs.push_back({12, true, QStringLiteral("What to do with this error report?") + nl});
  runs.push_back({12, false,
                  QStringLiteral("To help fix the error, please report it by using any of the "
                                 "methods listed below!") +
                      nl});
  runs.push_back(
      {12, false,
       QStringLiteral("1 Send by normal mail to:") + nl + m.postal_address.join(nl) + nl});
  runs.push_back({12, false, QStringLiteral("2 E-mail to: ") + m.email + nl});
  runs.push_back({12, false, QStringLiteral("3 Call ") + m.phones + nl});
  return runs;
}

void Draw_Error_Report_Page(QPainter& painter, const std::vector<Print_Run>& runs) {
  QPaintDevice* dev = painter.device();
  const double sx = dev->logicalDpiX() / 1440.0;
  const double sy = dev->logicalDpiY() / 1440.0;
  const double x0 = 100 * sx;
  double x = x0;
  double y = 100 * sy;
  for (const Print_Run& run : runs) {
    QFont f = painter.font();
    f.setPointSize(run.point_size);
    f.setItalic(run.italic);
    painter.setFont(f);
    const QFontMetricsF fm(f, dev);
    QString text = run.text;
    text.replace(Crlf, QStringLiteral("\n"));
    const QStringList lines = text.split(QLatin1Char('\n'));
    for (qsizetype i = 0; i < lines.size(); ++i) {
      if (!lines[i].isEmpty()) painter.drawText(QPointF(x, y + fm.ascent()), lines[i]);
      if (i + 1 < lines.size()) {
        x = x0;
        y += fm.lineSpacing();
      } else {
        x += fm.horizontalAdvance(lines[i]);
      }
    }
  }
}

}  // namespace qm

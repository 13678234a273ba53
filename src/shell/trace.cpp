#include "shell/trace.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QFileInfo>
#include <QLocalSocket>

#include <memory>
#include <sys/syscall.h>
#include <unistd.h>

namespace qm {

namespace {
struct Trace_State {
  bool searched = false;
  std::unique_ptr<QLocalSocket> socket;
  qint64 ui_thread_id = 0;
};
Trace_State& State() {
  static Trace_State s;
  return s;
}

QString Program_Name() {
  QString path = QCoreApplication::instance() ? QCoreApplication::applicationFilePath()
                                              : QStringLiteral("quaymark");
  return QFileInfo(path).completeBaseName();
}

void Append_Value(QString& out, const QVariant& v) {
  if (v.typeId() == QMetaType::QVariantList || v.typeId() == QMetaType::QStringList) {
    for (const QVariant& e : v.toList()) Append_Value(out, e);
    return;
  }
  out += v.toString();
  out += QLatin1Char('\t');
}
}  // namespace

QString Format_Trace_Line(const QString& program, qint64 process_id, qint64 thread_id,
                          const QDateTime& when, const QVariantList& values) {
  QString line = program + QStringLiteral(" C: ") + QString::number(process_id) +
                 QStringLiteral(": ") + QString::number(thread_id) + QStringLiteral(": ") +
                 when.toString(QStringLiteral("yyyyMMdd HHmmss")) + QStringLiteral(": ");
  for (const QVariant& v : values) Append_Value(line, v);
  return line;
}

void Trace_Line(const QVariantList& values) {
  Trace_State& s = State();
  if (!s.searched) {
    s.searched = true;
    s.ui_thread_id = static_cast<qint64>(::syscall(SYS_gettid));
    auto sock = std::make_unique<QLocalSocket>();
    sock->connectToServer(QString::fromLatin1(Trace_Socket_Name));
    if (sock->waitForConnected(200)) s.socket = std::move(sock);
  }
  if (!s.socket) return;
  const QString line = Format_Trace_Line(Program_Name(), ::getpid(), s.ui_thread_id,
                                         QDateTime::currentDateTime(), values);
  // One line a message; the viewer splits at the newline.
  s.socket->write(line.toLocal8Bit() + '\n');
  s.socket->waitForBytesWritten(5000);
}

void Trace_Text(const QString& text) { Trace_Line(QVariantList{text}); }

void Reset_Trace_For_Test() {
  State().searched = false;
  State().socket.reset();
}

}  // namespace qm

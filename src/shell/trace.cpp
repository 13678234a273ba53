#include "shell/trace.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QLocalSocket>
#include <QPointer>
#include <QThread>

#include <sys/syscall.h>
#include <unistd.h>

namespace qm {

namespace {
struct Trace_State {
  bool searched = false;
  Trace_Tap tap;
  // Owned by the application object, so it goes with it at the end.
  QPointer<QLocalSocket> socket;
  qint64 ui_thread_id = 0;
};
Trace_State& State() {
  static Trace_State s;
  return s;
}

QString Program_Name() {
  return QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName();
}

void Append_Value(QString& out, const QVariant& v) {
  if (v.typeId() == QMetaType::QVariantList || v.typeId() == QMetaType::QStringList) {
    for (const QVariant& e : v.toList()) Append_Value(out, e);
    return;
  }
  out += v.toString();
  out += QLatin1Char('\t');
}

void Search_Viewer(Trace_State& s) {
  s.searched = true;
  s.ui_thread_id = static_cast<qint64>(::syscall(SYS_gettid));
  auto* sock = new QLocalSocket(QCoreApplication::instance());
  sock->connectToServer(QString::fromLatin1(Trace_Socket_Name));
  if (sock->waitForConnected(1000))
    s.socket = sock;
  else
    delete sock;
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
  try {
    // The socket needs the application object; lines before it are dropped.
    if (!QCoreApplication::instance()) return;
    Trace_State& s = State();
    // Tracing belongs to the user-interface thread, which owns the socket.
    if (QThread::currentThread() != QCoreApplication::instance()->thread()) return;
    if (s.tap) {
      QString text;
      for (const QVariant& v : values) Append_Value(text, v);
      s.tap(text);
    }
    if (!s.searched) Search_Viewer(s);
    if (!s.socket || s.socket->state() != QLocalSocket::ConnectedState) return;
    const QByteArray bytes = Format_Trace_Line(Program_Name(), ::getpid(), s.ui_thread_id,
                                               QDateTime::currentDateTime(), values)
                                 .toLocal8Bit();
    const quint32 n = static_cast<quint32>(bytes.size());
    const char head[4] = {static_cast<char>(n >> 24), static_cast<char>(n >> 16),
                          static_cast<char>(n >> 8), static_cast<char>(n)};
    s.socket->write(head, 4);
    s.socket->write(bytes);
    s.socket->waitForBytesWritten(5000);
  } catch (...) {
    // Tracing never fails visibly.
  }
}

void Trace_Text(const QString& text) {
  Trace_Line(QVariantList{text});
}

void Test_Tracing() {
  Trace_Text(QStringLiteral("Test a trace ************"));
}

Trace_Tap Set_Trace_Tap(Trace_Tap tap) {
  Trace_Tap old = std::move(State().tap);
  State().tap = std::move(tap);
  return old;
}

void Reset_Trace_For_Test() {
  State().searched = false;
  delete State().socket.data();
  State().socket = nullptr;
}

}  // namespace qm

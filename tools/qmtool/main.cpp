// qmtool: the program's core on the command line, without windows.
#include "cli.h"

#include "shell/app_globals.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QTextStream>

#include <sys/stat.h>
#include <unistd.h>

namespace {
void Print_Usage(QTextStream& out) {
  out << "usage: qmtool COMMAND [options]\n"
         "       qmtool --version | --help\n\ncommands:\n";
  for (const qmtool::Command& c : qmtool::Commands()) out << "  qmtool " << c.usage << "\n";
  out << "\nExit status: 0 done, 1 failed or an error was reported, 2 wrong usage,\n"
         "3 a question was answered Cancel and nothing was done.\n";
}
}  // namespace

int main(int argc, char** argv) {
  // Rendering and printing need fonts and painters, never a display.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  // Without a session (a cron job, CI) Qt would pick the same folder and warn
  // on standard error, where only the program's own messages belong.
  if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR")) {
    const QByteArray dir = "/tmp/runtime-" + QByteArray::number(::getuid());
    ::mkdir(dir.constData(), 0700);
    qputenv("XDG_RUNTIME_DIR", dir);
  }
  QGuiApplication app(argc, argv);
  QCoreApplication::setApplicationName(QStringLiteral("Quaymark"));
  qm::Quaymark_Initialization();

  QStringList args = app.arguments();
  args.removeFirst();
  QTextStream out(stdout);
  if (args.isEmpty()) {
    QTextStream err(stderr);
    Print_Usage(err);
    return qmtool::Exit_Usage;
  }
  const QString cmd = args.takeFirst();
  if (cmd == QStringLiteral("--version")) {
    out << qm::app().Product_Name << " " << qm::app().Version_String << " "
        << qm::app().Build_Stamp << "\n";
    return qmtool::Exit_Ok;
  }
  if (cmd == QStringLiteral("--help") || cmd == QStringLiteral("help")) {
    Print_Usage(out);
    return qmtool::Exit_Ok;
  }
  for (const qmtool::Command& c : qmtool::Commands()) {
    if (c.name != cmd) continue;
    if (args.contains(QStringLiteral("--help"))) {
      out << "usage: qmtool " << c.usage << "\n";
      return qmtool::Exit_Ok;
    }
    qmtool::Session session;
    qmtool::Args a(args);
    return c.run(session, a);
  }
  QTextStream err(stderr);
  err << "qmtool: unknown command '" << cmd << "'\n";
  Print_Usage(err);
  return qmtool::Exit_Usage;
}

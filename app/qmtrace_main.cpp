// qmtrace: listens on the local socket "quaymark-trace" and prints each trace
// line that a running Quaymark sends.
#include <QCoreApplication>
#include <QLocalServer>
#include <QLocalSocket>
#include <QTextStream>

#include <cstdio>

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  const QStringList args = app.arguments();
  if (args.contains(QStringLiteral("--help"))) {
    QTextStream(stdout) << "usage: qmtrace\n"
                           "Prints the trace lines of Quaymark programs started after it.\n";
    return 0;
  }
  QLocalServer::removeServer(QStringLiteral("quaymark-trace"));
  QLocalServer server;
  if (!server.listen(QStringLiteral("quaymark-trace"))) {
    QTextStream(stderr) << "qmtrace: cannot listen: " << server.errorString() << "\n";
    return 1;
  }
  QObject::connect(&server, &QLocalServer::newConnection, [&server] {
    while (QLocalSocket* s = server.nextPendingConnection()) {
      QObject::connect(s, &QLocalSocket::readyRead, s, [s] {
        while (s->canReadLine()) {
          const QByteArray line = s->readLine();
          std::fwrite(line.constData(), 1, static_cast<size_t>(line.size()), stdout);
          std::fflush(stdout);
        }
      });
      QObject::connect(s, &QLocalSocket::disconnected, s, &QObject::deleteLater);
    }
  });
  return app.exec();
}

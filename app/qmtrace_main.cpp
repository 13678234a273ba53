// qmtrace: listens on the local socket "quaymark-trace" and prints each trace
// line that a Quaymark program started after it sends. Each message on the
// socket is one line: four bytes of length (big endian), then the bytes.
#include <QCoreApplication>
#include <QLocalServer>
#include <QLocalSocket>
#include <QTextStream>

#include <cstdio>
#include <memory>

namespace {
// Prints every complete message in `buffer` and keeps the rest.
void Drain(QByteArray& buffer) {
  while (buffer.size() >= 4) {
    const auto* h = reinterpret_cast<const unsigned char*>(buffer.constData());
    const qsizetype n = (qsizetype(h[0]) << 24) | (qsizetype(h[1]) << 16) | (qsizetype(h[2]) << 8) |
                        qsizetype(h[3]);
    if (buffer.size() < 4 + n) return;
    std::fwrite(buffer.constData() + 4, 1, static_cast<size_t>(n), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
    buffer.remove(0, 4 + n);
  }
}
}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  const QStringList args = app.arguments();
  if (args.contains(QStringLiteral("--help"))) {
    QTextStream(stdout) << "usage: qmtrace\n"
                           "Prints the trace lines of Quaymark programs started after it.\n";
    return 0;
  }
  const QString name = QStringLiteral("quaymark-trace");
  QLocalServer server;
  if (!server.listen(name)) {
    // The name is taken: by a running viewer (leave it alone), or by a socket
    // that a viewer which crashed left behind (take it over).
    QLocalSocket probe;
    probe.connectToServer(name);
    if (probe.waitForConnected(500)) {
      QTextStream(stderr) << "qmtrace: another viewer is listening on " << name << "\n";
      return 1;
    }
    QLocalServer::removeServer(name);
    if (!server.listen(name)) {
      QTextStream(stderr) << "qmtrace: cannot listen on " << name << ": " << server.errorString()
                          << "\n";
      return 1;
    }
  }
  QTextStream(stderr) << "qmtrace: listening on " << server.fullServerName() << "\n";
  QObject::connect(&server, &QLocalServer::newConnection, [&server] {
    while (QLocalSocket* s = server.nextPendingConnection()) {
      auto buffer = std::make_shared<QByteArray>();
      QObject::connect(s, &QLocalSocket::readyRead, s, [s, buffer] {
        buffer->append(s->readAll());
        Drain(*buffer);
      });
      QObject::connect(s, &QLocalSocket::disconnected, s, &QObject::deleteLater);
    }
  });
  return app.exec();
}

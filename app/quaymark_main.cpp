// quaymark: the desktop program.
#include "shell/app_globals.h"
#include "shell/ui/application.h"

#include <QApplication>
#include <QTextStream>

int main(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    const QByteArray a(argv[i]);
    if (a == "--version" || a == "--help") {
      QCoreApplication core(argc, argv);
      QCoreApplication::setApplicationName(QStringLiteral("Quaymark"));
      qm::Quaymark_Initialization();
      QTextStream out(stdout);
      if (a == "--version") {
        out << qm::app().Product_Name << " " << qm::app().Version_String << " "
            << qm::app().Build_Stamp << "\n";
      } else {
        out << "usage: quaymark [FILE]\n"
               "Opens FILE (a KV2, KV1, VDV, AVI or DV capture file) for timing.\n"
               "       quaymark --version | --help\n";
      }
      return 0;
    }
  }
  QApplication app(argc, argv);
  QCoreApplication::setApplicationName(QStringLiteral("Quaymark"));
  return qm::ui::Run_Application(app);
}

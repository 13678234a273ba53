#include "shell/ui/application.h"

#include "shell/app_globals.h"
#include "shell/error_report.h"

#include <QApplication>
#include <QMainWindow>

namespace qm::ui {

int Run_Application(QApplication& app) {
  Quaymark_Initialization();
  Install_Error_Report();
  QMainWindow w;
  w.setWindowTitle(qm::app().Product_Name);
  w.resize(1024, 700);
  w.show();
  return app.exec();
}

}  // namespace qm::ui

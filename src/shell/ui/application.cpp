#include "shell/ui/application.h"

#include "platform/ui/qt_dialogs.h"
#include "shell/app_globals.h"
#include "shell/error_report.h"
#include "shell/startup.h"
#include "shell/trace.h"
#include "shell/ui/error_form.h"
#include "shell/ui/key_state.h"
#include "shell/ui/main_window.h"

#include <QApplication>
#include <QPointer>

namespace qm::ui {

int Run_Application(QApplication& qapp) {
  Quaymark_Initialization();
  Qt_Dialogs qt_dialogs(qm::app().Product_Name);
  Dialogs* previous_dialogs = Set_Dialogs(&qt_dialogs);
  Install_Error_Report();
  Key_State keys;
  // Loaded once, hidden, and reused by every report.
  QPointer<KVS_error_form> error_form = new KVS_error_form;
  Set_Error_Report_View(error_form);
  KVS_Error_Initialize();
  // The exit sequence ends the run, not the last window closing.
  qapp.setQuitOnLastWindowClosed(false);

  int status = 0;
  {
    Instance_Lock instance;
    QPointer<Frm_kanot_2> main = new Frm_kanot_2;
    if (main->Form_Load(&instance)) {
      main->show();
      const QString command = Command_Line(qapp.arguments().mid(1));
      Trace_Text(QStringLiteral("Command_dollar = ") + command);
      if (!command.isEmpty())
        Start_Association(command, [&](const QString& path) {
          if (main) main->core.Handle_Open_File(path);
        });
      Trace_Text(QStringLiteral("*Frm_kanot, Frm_load end"));
      status = qapp.exec();
    }
    delete main.data();
  }
  Set_Error_Report_View(nullptr);
  delete error_form.data();
  Set_Dialogs(previous_dialogs);
  return status;
}

}  // namespace qm::ui

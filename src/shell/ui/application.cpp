#include "shell/ui/application.h"

#include "platform/ui/qt_dialogs.h"
#include "race_timing/ui/frm_results.h"
#include "results_output/ui/results_output_frames.h"
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

Window_Set::Window_Set()
    : main(std::make_unique<Frm_kanot_2>()),
      results(std::make_unique<Frm_results>(main->core.session, main.get())),
      output(std::make_unique<Results_Output_Frames>(*results, main->core.session, main.get())) {
  main->results_window = results.get();
  main->output = output.get();
  output->Set_Print_Player(&main->core);
  Frm_kanot_2* w = main.get();
  output->camera_time = [w] { return w->core.player.read_outs.Lbl_cam_time; };
  output->set_title = [w](const QString& title) {
    w->setWindowTitle(title.isEmpty() ? w->core.Caption : title);
  };
}

Window_Set::~Window_Set() {
  output.reset();
  results.reset();
  main.reset();
}

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
    Window_Set windows;
    Frm_kanot_2* main = windows.main.get();
    if (main->Form_Load(&instance)) {
      main->show();
      windows.results->Place_Beside_Main();
      windows.results->show();
      const QString command = Command_Line(qapp.arguments().mid(1));
      Trace_Text(QStringLiteral("Command_dollar = ") + command);
      if (!command.isEmpty())
        Start_Association(command, [&](const QString& path) { main->core.Handle_Open_File(path); });
      Trace_Text(QStringLiteral("*Frm_kanot, Frm_load end"));
      status = qapp.exec();
    }
  }
  Set_Error_Report_View(nullptr);
  delete error_form.data();
  Set_Dialogs(previous_dialogs);
  return status;
}

}  // namespace qm::ui

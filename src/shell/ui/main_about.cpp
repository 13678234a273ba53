// Frm_kanot_2: the About window and the system probes of the Specials menu.
#include "capture_file/kv_convert.h"
#include "results_output/ui/print_window.h"
#include "results_output/ui/results_output_frames.h"
#include "shell/about_info.h"
#include "shell/ui/frm_about.h"
#include "shell/ui/main_window.h"

#include <QAction>
#include <QApplication>
#include <QMenu>

namespace qm::ui {

namespace {
void Hourglass(bool busy) {
  if (busy)
    QApplication::setOverrideCursor(Qt::WaitCursor);
  else
    QApplication::restoreOverrideCursor();
}
}  // namespace

void Frm_kanot_2::item_about_Click() {
  if (!about) {
    about = new Frm_about(this);
    about->show_specials = [this] { menu_specials->menuAction()->setVisible(true); };
  }
  about->preview = output ? output->Preview() : nullptr;
  about->Open(Local_IP_Address(host_lookup));
}

void Frm_kanot_2::item_disk_performance_Click() {
  Disk_Test test = disk_test;
  test.busy = Hourglass;
  Disk_Performance(test);
}

void Frm_kanot_2::item_printer_test_Click() {
  Printer_Test_Job job;
  job.set_title = [this](const QString& t) { setWindowTitle(t.isEmpty() ? core.Caption : t); };
  job.print = [this](const QString& text, const QString& title) {
    return Print_Text(text, title, output ? output->Preview() : nullptr);
  };
  job.process_events = [this] { Process_Events(); };
  Printer_Test(job);
}

void Frm_kanot_2::item_convert_file_Click() {
  Convert_file(Hourglass);
}

}  // namespace qm::ui

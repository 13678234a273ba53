#include "results_output/ui/results_output_frames.h"

#include "capture_file/avi_handler.h"
#include "platform/clock.h"
#include "platform/dialogs.h"
#include "platform/failure.h"
#include "race_timing/race_session.h"
#include "race_timing/ui/frm_results.h"
#include "results_output/heat_facts.h"
#include "results_output/ui/form_lcs_preview.h"
#include "results_output/ui/printer_device.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace qm::ui {

namespace {

QFont Frame_Font() {
  QFont f(QStringLiteral("MS Sans Serif"));
  f.setPointSizeF(9.75);
  f.setBold(true);
  return f;
}

void Let_Events_Run(int ms) {
  QElapsedTimer t;
  t.start();
  while (t.elapsed() < ms) {
    QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    Sleep_ms(5);
  }
}

}  // namespace

Results_Output_Frames::Results_Output_Frames(Frm_results& window, Race_Session& session,
                                             QWidget* main_window)
    : QObject(&window), window_(window), session_(session), main_window_(main_window) {
  // "Results export"
  Frm_export = new QGroupBox(QStringLiteral("Results export"));
  Frm_export->setFont(Frame_Font());
  auto* ecol = new QVBoxLayout(Frm_export);
  auto* top = new QHBoxLayout;
  Frm_export_format = new QGroupBox(QStringLiteral("Export format"));
  auto* fcol = new QVBoxLayout(Frm_export_format);
  Opt_exp_format[0] = new QRadioButton(QStringLiteral("CSV"));
  Opt_exp_format[1] = new QRadioButton(QStringLiteral("XML"));
  for (int i = 0; i < 2; ++i) {
    fcol->addWidget(Opt_exp_format[static_cast<size_t>(i)]);
    connect(Opt_exp_format[static_cast<size_t>(i)], &QRadioButton::clicked, this,
            [this, i] { export_.Opt_exp_format_Click(i + 1); });
  }
  top->addWidget(Frm_export_format);
  Cmd_export = new QPushButton(QStringLiteral("Export"));
  top->addWidget(Cmd_export, 0, Qt::AlignBottom);
  ecol->addLayout(top);
  Frm_export_folder = new QGroupBox(QStringLiteral("Export folder"));
  auto* dcol = new QVBoxLayout(Frm_export_folder);
  Lbl_export_folder = new QLabel(QStringLiteral("c-folder"));
  Lbl_export_folder->setCursor(Qt::PointingHandCursor);
  Lbl_export_folder->setWordWrap(true);
  Lbl_export_folder->installEventFilter(this);
  Text_remote = new QPlainTextEdit;
  Text_remote->setReadOnly(true);
  Text_remote->setMaximumHeight(48);
  Text_remote->viewport()->installEventFilter(this);
  dcol->addWidget(Lbl_export_folder);
  dcol->addWidget(Text_remote);
  ecol->addWidget(Frm_export_folder);
  connect(Cmd_export, &QPushButton::clicked, this, [this] { Cmd_export_Click(); });

  // Export message: yellow, read-only, hidden until an export succeeds.
  Frm_export_mess = new QGroupBox;
  auto* mcol = new QVBoxLayout(Frm_export_mess);
  Text_export_mess = new QPlainTextEdit;
  Text_export_mess->setReadOnly(true);
  Text_export_mess->setStyleSheet(QStringLiteral("background: yellow;"));
  Cmd_result_export_OK = new QPushButton(QStringLiteral("OK"));
  mcol->addWidget(Text_export_mess);
  mcol->addWidget(Cmd_result_export_OK, 0, Qt::AlignHCenter);
  Frm_export_mess->setMinimumHeight(3015 / 15);
  Frm_export_mess->hide();
  connect(Cmd_result_export_OK, &QPushButton::clicked, this,
          [this] { export_.Cmd_result_export_OK_Click(); });

  // "Printer"
  Frm_printer = new QGroupBox(QStringLiteral("Printer"));
  Frm_printer->setFont(Frame_Font());
  auto* pcol = new QVBoxLayout(Frm_printer);
  Opt_printer[0] = new QRadioButton(QStringLiteral("Preview"));
  Opt_printer[1] = new QRadioButton(QStringLiteral("Printer"));
  for (QRadioButton* b : Opt_printer) {
    pcol->addWidget(b);
    connect(b, &QRadioButton::clicked, this, [this] { Handle_Preview(); });
  }

  window_.Add_Output_Frame(Frm_export);
  window_.Add_Output_Frame(Frm_export_mess);
  window_.Add_Output_Frame(Frm_printer);

  preview_ = new Form_LCS_preview(&window_);
  export_.on_change = [this] { Show_State(); };
  export_.on_focus_main = [this] {
    if (main_window_) main_window_->activateWindow();
  };
  printer_.on_preview = [this](const Page_Canvas& page) {
    preview_->Show_Page(page, printer_.Print_job_title);
  };
  printer_.on_print = [this](const Page_Canvas& page, const QString& title) {
    preview_->hide();
    return Print_Page_On_Printer(page, title);
  };
  printer_.on_title = [this](const QString& t) {
    if (set_title) set_title(t);
  };

  // The printer choice: "Printer" names the default printer; without one
  // only the preview is there.
  const Print_Setup& s = print_setup();
  if (s.Printers_Num > 0) {
    Opt_printer[1]->setText(s.Printer_Device_Name);
  } else {
    Opt_printer[1]->setText(QStringLiteral("No printer"));
    Opt_printer[1]->setEnabled(false);
  }
  Opt_printer[0]->setChecked(true);
  Handle_Preview();
  printer_.Load_logo();

  export_.Load_Export_format();
  export_.Load_Export_Folder();

  using C = Frm_results::Command;
  window_.Set_Command(C::Print_results, [this] { Handle_Print_results(); });
  window_.Set_Command(C::Print_picture_series, [this] { Handle_Print_Series(); });
  window_.Set_Command(C::Print_single_picture, [this] { Handle_Print_Single(); });
  window_.Set_Command(C::Printer_test, [this] { Printer_Test(); });
  window_.Set_Command(C::Get_mapped_drive, [this] { export_.Get_Mapped_Drive(); });
  window_.Set_Command(C::Export_Results, [this] { Cmd_export_Click(); });
  window_.Set_Command(C::Preview, [] {});
  Show_State();
}

Results_Output_Frames::~Results_Output_Frames() = default;

bool Results_Output_Frames::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::MouseButtonPress) {
    if (watched == Lbl_export_folder) {
      export_.Lbl_export_folder_Click();
      return true;
    }
    if (watched == Text_remote->viewport()) {
      export_.Update_capture_folder_Remote();
      return true;
    }
  }
  return QObject::eventFilter(watched, event);
}

void Results_Output_Frames::Show_State() {
  Lbl_export_folder->setText(export_.Lbl_export_folder);
  Lbl_export_folder->setToolTip(export_.Export_folder);
  if (Text_remote->toPlainText() != export_.Text_remote)
    Text_remote->setPlainText(export_.Text_remote);
  Opt_exp_format[0]->setChecked(export_.Opt_exp_format == Export_Format::CSV);
  Opt_exp_format[1]->setChecked(export_.Opt_exp_format == Export_Format::XML);
  Text_export_mess->setPlainText(QString(export_.Text_export_mess).replace("\r\n", "\n"));
  const bool was_hidden = Frm_export_mess->isHidden();
  Frm_export_mess->setVisible(export_.Frm_export_mess_visible);
  if (was_hidden && export_.Frm_export_mess_visible) Cmd_result_export_OK->setFocus();
}

Heat_Facts Results_Output_Frames::Facts() const {
  return session_.File() ? Heat_Facts_Of(*session_.File()) : Heat_Facts{};
}

bool Results_Output_Frames::File_Check() {
  if (session_.File_open()) return true;
  MsgBox(QStringLiteral("No file open!"));
  return false;
}

void Results_Output_Frames::Cmd_export_Click() {
  const bool alt = QGuiApplication::queryKeyboardModifiers().testFlag(Qt::AltModifier);
  if (session_.File())
    export_.Cmd_export_Click(alt, *session_.File(), session_.rows);
  else
    export_.Cmd_export_Click(alt, Heat_Facts{}, session_.rows);
}

void Results_Output_Frames::Handle_Preview() {
  printer_.Preview_Mode = !Opt_printer[1]->isChecked() || print_setup().Printers_Num <= 0;
  if (printer_.Preview_Mode) Opt_printer[0]->setChecked(true);
}

void Results_Output_Frames::Handle_Print_results() {
  Trapped(Where_Form("Handle_Print_results", "Frm_results"), [&] {
    if (!File_Check()) return;
    printer_.Print_Results(false, Facts(), camera_time ? camera_time() : QString(), session_.rows,
                           session_.arrays, player_);
  });
}

void Results_Output_Frames::Handle_Print_Series() {
  Trapped(Where_Form("handle_print_series", "Frm_kanot_2"), [&] {
    if (!File_Check()) return;
    printer_.Print_Results(true, Facts(), camera_time ? camera_time() : QString(), session_.rows,
                           session_.arrays, player_);
    Let_Events_Run(500);
    if (preview_->isVisible()) preview_->raise();
  });
}

void Results_Output_Frames::Handle_Print_Single() {
  Trapped(Where_Form("Handle_Print_Single", "Frm_results"), [&] {
    if (!File_Check()) return;
    if (!player_) return;
    if (printer_.Preview_Mode) preview_->Clear_Page();
    printer_.PrintSingle(Facts(), camera_time ? camera_time() : QString(), *player_);
  });
}

void Results_Output_Frames::Printer_Test() {
  Trapped(Where_Form("Printer_test", "Frm_results"),
          [&] { printer_.Printer_Test(Facts(), camera_time ? camera_time() : QString()); });
}

}  // namespace qm::ui

#include "shell/ui/error_form.h"

#include "platform/clock.h"
#include "platform/dialogs.h"
#include "platform/failure.h"
#include "shell/settings.h"

#include <QApplication>
#include <QDateTime>
#include <QDesktopServices>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPrinter>
#include <QPrinterInfo>
#include <QProgressBar>
#include <QPushButton>
#include <QUrl>
#include <QVBoxLayout>

namespace qm::ui {

void MakeTopMost(QWidget* w) {
  if (!w) return;
  const bool visible = w->isVisible();
  const QRect geometry = w->geometry();
  w->setWindowFlag(Qt::WindowStaysOnTopHint, true);
  if (visible) {
    // Changing the flags hides a window; bring it back where it was.
    w->setGeometry(geometry);
    w->show();
  }
}

KVS_error_form::KVS_error_form(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("KVS_error_form"));
  setModal(false);
  printer_available = [] { return !QPrinterInfo::availablePrinterNames().isEmpty(); };
  open_url = [](const QUrl& url) { return QDesktopServices::openUrl(url); };

  auto* layout = new QVBoxLayout(this);
  Lbl_heading = new QLabel(this);
  QFont big = Lbl_heading->font();
  big.setPointSizeF(big.pointSizeF() * 1.6);
  big.setBold(true);
  Lbl_heading->setFont(big);
  layout->addWidget(Lbl_heading);

  err_lbl = new QLabel(this);
  err_lbl->setObjectName(QStringLiteral("err_lbl"));
  err_lbl->setFrameShape(QFrame::Box);
  err_lbl->setWordWrap(true);
  err_lbl->setTextFormat(Qt::PlainText);
  err_lbl->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  err_lbl->setTextInteractionFlags(Qt::TextSelectableByMouse);
  err_lbl->setMinimumSize(7800 / Twips_Per_Pixel, 2400 / Twips_Per_Pixel);
  layout->addWidget(err_lbl);

  auto* frame = new QGroupBox(QStringLiteral("Enter comments here"), this);
  auto* frame_layout = new QVBoxLayout(frame);
  Text_error_comments = new QPlainTextEdit(frame);
  Text_error_comments->setObjectName(QStringLiteral("Text_error_comments"));
  Text_error_comments->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  frame_layout->addWidget(Text_error_comments);
  layout->addWidget(frame);

  Progress = new QProgressBar(this);
  Progress->setRange(1, 100);
  Progress->hide();
  layout->addWidget(Progress);

  auto* row = new QHBoxLayout;
  auto add = [&](QPushButton*& b, const char* name, const QString& caption,
                 void (KVS_error_form::*cmd)()) {
    b = new QPushButton(caption, this);
    b->setObjectName(QString::fromLatin1(name));
    b->setAutoDefault(false);
    connect(b, &QPushButton::clicked, this, cmd);
    row->addWidget(b);
  };
  add(Cmd_print_error, "Cmd_print_error", QStringLiteral("Print report"),
      &KVS_error_form::Cmd_print_error_Click);
  add(Cmd_save_log, "Cmd_save_log", QStringLiteral("Save in log file"),
      &KVS_error_form::Cmd_save_log_Click);
  add(Cmd_mailto, "Cmd_mailto", QStringLiteral("Send mail"), &KVS_error_form::Cmd_mailto_Click);
  add(Cmd_continue, "Cmd_continue", QStringLiteral("Continue"),
      &KVS_error_form::Cmd_continue_Click);
  add(Cmd_exit, "Cmd_exit", QStringLiteral("Exit program"), &KVS_error_form::Cmd_exit_Click);
  layout->addLayout(row);

  MakeTopMost(this);
  Set_Captions(Error_Form_Caption(), Error_Form_Heading());
  Window_Loaded(this);
}

KVS_error_form::~KVS_error_form() {
  if (Error_View() == this) Set_Error_Report_View(nullptr);
}

void KVS_error_form::Show_Report(const QString& report_text) {
  report_ = report_text;
  QString shown = report_text;
  shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  err_lbl->setText(shown);
  show();
  raise();
  // Not modal: let queued events run and go back to the failed procedure.
  QCoreApplication::processEvents();
}

QString KVS_error_form::Comments() const {
  return Text_error_comments->toPlainText();
}

void KVS_error_form::Set_Captions(const QString& caption, const QString& heading) {
  setWindowTitle(caption);
  Lbl_heading->setText(heading);
}

void KVS_error_form::Unload() {
  if (Error_View() == this) Set_Error_Report_View(nullptr);
  Window_Unloaded(this);
  hide();
  deleteLater();
}

void KVS_error_form::Cmd_print_error_Click() {
  Trapped_Own(
      false,
      [&] {
        if (!printer_available || !printer_available()) {
          MsgBox(QStringLiteral("No printer availible"));
          return false;
        }
        QPrinter printer(QPrinter::HighResolution);
        if (prepare_printer) prepare_printer(printer);
        QPainter painter;
        if (!painter.begin(&printer)) Raise(Err_Printer);
        Draw_Error_Report_Page(
            painter, Error_Report_Page(report_, Comments(), QDateTime::currentDateTime()));
        if (!painter.end()) Raise(Err_Printer);
        Progress->show();
        for (int i = 1; i <= 100; ++i) {
          Progress->setValue(i);
          QCoreApplication::processEvents();
          Sleep_ms(5);
        }
        Progress->hide();
        return true;
      },
      [this](const Failure_Report&) {
        Progress->hide();
        MsgBox(QStringLiteral("Printer error"));
      });
}

void KVS_error_form::Cmd_save_log_Click() {
  Write_Error_Log(report_, Comments());
}

void KVS_error_form::Cmd_mailto_Click() {
  // The desktop's mail program takes it from here; failures are ignored.
  try {
    if (open_url) open_url(Error_Mail_Link(report_, Comments(), QDateTime::currentDateTime()));
  } catch (...) {
  }
}

void KVS_error_form::Cmd_continue_Click() {
  hide();
}

void KVS_error_form::Cmd_exit_Click() {
  End_Program(0);
}

}  // namespace qm::ui

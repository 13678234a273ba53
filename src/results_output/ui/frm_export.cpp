#include "results_output/ui/frm_export.h"

#include "platform/failure.h"
#include "race_timing/lane_result.h"
#include "race_timing/race_session.h"
#include "shell/settings.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QEvent>
#include <QFileInfo>
#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>

namespace qm::ui {

namespace {
// The picture-saving routine of this program keeps nothing.
void Save_Jpeg(const QString& /*name*/) {}
}  // namespace

QString Export_Jpeg_Name(const QString& capture_file_name, int32_t field) {
  return QDir::homePath() + QStringLiteral("/temp/kanottest/") + QStringLiteral("Heat") +
         Heat_number_from_Filename(QFileInfo(capture_file_name).fileName()) + QStringLiteral("_") +
         QStringLiteral("%1").arg(field, 4, 10, QLatin1Char('0')) + QStringLiteral(".jpg");
}

Frm_export::Frm_export(Race_Player& player, QString capture_file_name, QWidget* parent)
    : QDialog(parent), player_(player), file_name_(std::move(capture_file_name)) {
  setWindowTitle(QStringLiteral("Export"));
  auto* form = new QFormLayout(this);
  Text_inpoint = new QLineEdit;
  Text_outpoint = new QLineEdit;
  Text_inpoint->setReadOnly(true);
  Text_outpoint->setReadOnly(true);
  Text_inpoint->installEventFilter(this);
  Text_outpoint->installEventFilter(this);
  Cmd_export = new QPushButton(QStringLiteral("Export"));
  form->addRow(QStringLiteral("Inpoint"), Text_inpoint);
  form->addRow(QStringLiteral("Outpoint"), Text_outpoint);
  form->addRow(Cmd_export);
  connect(Cmd_export, &QPushButton::clicked, this, [this] { Cmd_export_Click(); });
  if (const auto pos = Get_Form_Pos(Window_Name()))
    move(pos->left / Twips_Per_Pixel, pos->top / Twips_Per_Pixel);
  Window_Loaded(this);
}

Frm_export::~Frm_export() {
  Window_Unloaded(this);
}

void Frm_export::Unload() {
  Store_Form_Pos(Window_Name(), x() * Twips_Per_Pixel, y() * Twips_Per_Pixel, 0, 0);
  hide();
  deleteLater();
}

void Frm_export::closeEvent(QCloseEvent* event) {
  Store_Form_Pos(Window_Name(), x() * Twips_Per_Pixel, y() * Twips_Per_Pixel, 0, 0);
  event->accept();
}

bool Frm_export::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::MouseButtonPress) {
    if (watched == Text_inpoint) Text_inpoint_Click();
    if (watched == Text_outpoint) Text_outpoint_Click();
  }
  return QDialog::eventFilter(watched, event);
}

void Frm_export::Text_inpoint_Click() {
  Text_inpoint->setText(QString::number(player_.Current_Field()));
}

void Frm_export::Text_outpoint_Click() {
  Text_outpoint->setText(QString::number(player_.Current_Field()));
}

bool Frm_export::Cmd_export_Click() {
  return Trapped(Where_Form("Cmd_export_Click", "Frm_export"), false, [&] {
    if (Text_inpoint->text().isEmpty() || Text_outpoint->text().isEmpty()) {
      QApplication::beep();
      player_.Beep();
      return false;
    }
    const int32_t in = To_Int32(Text_inpoint->text());
    const int32_t out = To_Int32(Text_outpoint->text());
    saved_names.clear();
    for (int32_t f = in; f <= out; ++f) {
      player_.Show_Field(f);
      const QString name = Export_Jpeg_Name(file_name_, f);
      Save_Jpeg(name);
      saved_names << name;
      QCoreApplication::processEvents();
    }
    return true;
  });
}

}  // namespace qm::ui

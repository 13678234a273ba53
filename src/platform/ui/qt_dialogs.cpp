#include "platform/ui/qt_dialogs.h"

#include <QApplication>
#include <QFileDialog>
#include <QInputDialog>

namespace qm::ui {

std::vector<QMessageBox::StandardButton> Standard_Buttons(Buttons buttons) {
  using B = QMessageBox::StandardButton;
  switch (buttons) {
    case Buttons::OK:
      return {B::Ok};
    case Buttons::OK_Cancel:
      return {B::Ok, B::Cancel};
    case Buttons::Yes_No:
      return {B::Yes, B::No};
    case Buttons::Yes_No_Cancel:
      return {B::Yes, B::No, B::Cancel};
    case Buttons::Retry_Cancel:
      return {B::Retry, B::Cancel};
    case Buttons::Abort_Retry_Ignore:
      return {B::Abort, B::Retry, B::Ignore};
  }
  return {B::Ok};
}

Answer Answer_Of(QMessageBox::StandardButton button) {
  using B = QMessageBox::StandardButton;
  switch (button) {
    case B::Ok:
      return Answer::OK;
    case B::Yes:
      return Answer::Yes;
    case B::No:
      return Answer::No;
    case B::Retry:
      return Answer::Retry;
    case B::Abort:
      return Answer::Abort;
    case B::Ignore:
      return Answer::Ignore;
    default:
      return Answer::Cancel;
  }
}

std::unique_ptr<QMessageBox> Qt_Dialogs::Build_Message_Box(const Message_Request& request) const {
  auto box = std::make_unique<QMessageBox>(QApplication::activeWindow());
  box->setWindowTitle(Title(request.title));
  box->setText(request.text);
  box->setTextFormat(Qt::PlainText);
  switch (request.icon) {
    case Icon::None:
      box->setIcon(QMessageBox::NoIcon);
      break;
    case Icon::Critical:
      box->setIcon(QMessageBox::Critical);
      break;
    case Icon::Question:
      box->setIcon(QMessageBox::Question);
      break;
    case Icon::Exclamation:
      box->setIcon(QMessageBox::Warning);
      break;
    case Icon::Information:
      box->setIcon(QMessageBox::Information);
      break;
  }
  const auto buttons = Standard_Buttons(request.buttons);
  QMessageBox::StandardButtons set;
  for (auto b : buttons) set |= b;
  box->setStandardButtons(set);
  const int index = request.default_button - 1;
  box->setDefaultButton(index >= 0 && index < int(buttons.size()) ? buttons[size_t(index)]
                                                                  : buttons.front());
  // Escape answers as closing the box would: Cancel where there is one.
  for (auto b : buttons)
    if (b == QMessageBox::Cancel) box->setEscapeButton(b);
  return box;
}

Answer Qt_Dialogs::Message(const Message_Request& request) {
  const auto box = Build_Message_Box(request);
  box->exec();
  const auto clicked = box->standardButton(box->clickedButton());
  if (clicked == QMessageBox::NoButton) return Refusal_For(request.buttons);
  return Answer_Of(clicked);
}

std::optional<QString> Qt_Dialogs::Input(const QString& prompt, const QString& title,
                                         const QString& default_text) {
  bool ok = false;
  const QString text = QInputDialog::getText(QApplication::activeWindow(), Title(title), prompt,
                                             QLineEdit::Normal, default_text, &ok);
  if (!ok) return std::nullopt;
  return text;
}

QString Qt_Dialogs::File(const File_Request& request) {
  QWidget* parent = QApplication::activeWindow();
  switch (request.kind) {
    case File_Request::Kind::Open:
      return QFileDialog::getOpenFileName(parent, request.title, request.folder, request.filter);
    case File_Request::Kind::Save:
      return QFileDialog::getSaveFileName(parent, request.title, request.folder, request.filter);
    case File_Request::Kind::Folder:
      return QFileDialog::getExistingDirectory(parent, request.title, request.folder);
  }
  return {};
}

}  // namespace qm::ui

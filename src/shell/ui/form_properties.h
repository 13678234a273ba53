#pragma once
// Form_properties: the open file's properties as text, with "OK" and "Print".

#include <QDialog>

#include <functional>

class QPlainTextEdit;
class QPushButton;

namespace qm::ui {

class Form_properties : public QDialog {
  Q_OBJECT
 public:
  explicit Form_properties(const QString& text, QWidget* parent = nullptr);

  // Prints the text as one block and ends the job (tests put their own).
  std::function<void(const QString& text)> print;
  void Cmd_print_Click();

  QPlainTextEdit* Text_properties = nullptr;
  QPushButton* Cmd_OK = nullptr;
  QPushButton* Cmd_print = nullptr;
};

}  // namespace qm::ui

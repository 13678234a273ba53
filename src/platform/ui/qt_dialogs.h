#pragma once
// The windows' implementation of the dialogs interface: QMessageBox,
// QInputDialog and QFileDialog, parented to the active window.

#include "platform/dialogs.h"

#include <QMessageBox>

#include <memory>
#include <vector>

namespace qm::ui {

class Qt_Dialogs : public Dialogs {
 public:
  // `default_title` stands in for an empty title (the product name).
  explicit Qt_Dialogs(QString default_title) : default_title_(std::move(default_title)) {}

  Answer Message(const Message_Request& request) override;
  std::optional<QString> Input(const QString& prompt, const QString& title,
                               const QString& default_text) override;
  QString File(const File_Request& request) override;

  // The box Message() runs: buttons in the order the request names them,
  // the default and the icon set. Tests look at it without running it.
  std::unique_ptr<QMessageBox> Build_Message_Box(const Message_Request& request) const;

 private:
  QString Title(const QString& title) const { return title.isEmpty() ? default_title_ : title; }
  QString default_title_;
};

// The standard buttons of a button set, left to right as the program names them.
std::vector<QMessageBox::StandardButton> Standard_Buttons(Buttons buttons);
// The answer a standard button gives.
Answer Answer_Of(QMessageBox::StandardButton button);

}  // namespace qm::ui

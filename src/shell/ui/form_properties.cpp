#include "shell/ui/form_properties.h"

#include "platform/failure.h"
#include "results_output/ui/print_window.h"

#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace qm::ui {

Form_properties::Form_properties(const QString& text, QWidget* parent) : QDialog(parent) {
  setWindowTitle(QStringLiteral("Quaymark File properties"));
  Text_properties = new QPlainTextEdit(this);
  Text_properties->setLineWrapMode(QPlainTextEdit::NoWrap);
  Text_properties->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  Text_properties->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  QString shown = text;
  shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  Text_properties->setPlainText(shown);
  Cmd_OK = new QPushButton(QStringLiteral("OK"), this);
  Cmd_print = new QPushButton(QStringLiteral("Print"), this);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(Cmd_OK);
  buttons->addWidget(Cmd_print);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(Text_properties);
  layout->addLayout(buttons);
  resize(640, 420);
  print = [](const QString& t) { Print_Text(t, QStringLiteral("Quaymark File properties")); };
  connect(Cmd_OK, &QPushButton::clicked, this, &QDialog::close);
  connect(Cmd_print, &QPushButton::clicked, this, [this] { Cmd_print_Click(); });
  Cmd_OK->setDefault(true);
  Cmd_OK->setFocus();
}

void Form_properties::Cmd_print_Click() {
  Trapped(Where_Form("Cmd_print_Click", "Form_properties"), [&] {
    QString t = Text_properties->toPlainText();
    t.replace(QStringLiteral("\n"), QStringLiteral("\r\n"));
    print(t);
  });
  Cmd_OK->setFocus();
}

}  // namespace qm::ui

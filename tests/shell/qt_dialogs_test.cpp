// The Qt implementation of the dialogs, headless.
#include "platform/ui/qt_dialogs.h"
#include "support/test_env.h"

#include <QApplication>
#include <QInputDialog>
#include <QPushButton>
#include <QTimer>

#include <functional>

namespace {

using qm::Answer;
using qm::Buttons;
using SB = QMessageBox::StandardButton;

// Acts on the modal dialog as soon as it is up.
void When_Modal(std::function<void(QWidget*)> act) {
  auto* timer = new QTimer;
  QObject::connect(timer, &QTimer::timeout, [timer, act] {
    if (QWidget* w = QApplication::activeModalWidget()) {
      timer->stop();
      timer->deleteLater();
      act(w);
    }
  });
  timer->start(10);
}

TEST(Qt_Dialogs, MessageBoxHasTheButtonsDefaultAndIcon) {
  qm::ui::Qt_Dialogs d("Quaymark, Free version");
  struct Case {
    Buttons buttons;
    int default_button;
    std::vector<SB> expected;
    SB expected_default;
  };
  const Case cases[] = {
      {Buttons::OK, 1, {SB::Ok}, SB::Ok},
      {Buttons::OK_Cancel, 2, {SB::Ok, SB::Cancel}, SB::Cancel},
      {Buttons::OK_Cancel, 1, {SB::Ok, SB::Cancel}, SB::Ok},
      {Buttons::Yes_No, 1, {SB::Yes, SB::No}, SB::Yes},
      {Buttons::Yes_No_Cancel, 3, {SB::Yes, SB::No, SB::Cancel}, SB::Cancel},
      {Buttons::Retry_Cancel, 1, {SB::Retry, SB::Cancel}, SB::Retry},
      {Buttons::Abort_Retry_Ignore, 2, {SB::Abort, SB::Retry, SB::Ignore}, SB::Retry},
      {Buttons::Yes_No, 7, {SB::Yes, SB::No}, SB::Yes},  // out of range: the first
  };
  for (const Case& c : cases) {
    const auto box = d.Build_Message_Box({"text", "", c.buttons, qm::Icon::None, c.default_button});
    EXPECT_EQ(qm::ui::Standard_Buttons(c.buttons), c.expected);
    QMessageBox::StandardButtons want;
    for (SB b : c.expected) want |= b;
    EXPECT_EQ(box->standardButtons(), want);
    EXPECT_EQ(box->standardButton(box->defaultButton()), c.expected_default);
    EXPECT_EQ(box->windowTitle(), "Quaymark, Free version");
  }
  const auto critical =
      d.Build_Message_Box({"Writing failed", " KVS Error", Buttons::OK, qm::Icon::Critical, 1});
  EXPECT_EQ(critical->icon(), QMessageBox::Critical);
  EXPECT_EQ(critical->windowTitle(), " KVS Error");
  EXPECT_EQ(critical->text(), "Writing failed");
  EXPECT_EQ(critical->textFormat(), Qt::PlainText);
  EXPECT_EQ(d.Build_Message_Box({"?", "", Buttons::Yes_No, qm::Icon::Question, 1})->icon(),
            QMessageBox::Question);
  EXPECT_EQ(d.Build_Message_Box({"!", "", Buttons::OK, qm::Icon::Exclamation, 1})->icon(),
            QMessageBox::Warning);
}

TEST(Qt_Dialogs, AnswersAreTheButtonsPressed) {
  qm::ui::Qt_Dialogs d("Quaymark");
  const std::pair<SB, Answer> answers[] = {
      {SB::Ok, Answer::OK},        {SB::Cancel, Answer::Cancel}, {SB::Yes, Answer::Yes},
      {SB::No, Answer::No},        {SB::Retry, Answer::Retry},   {SB::Abort, Answer::Abort},
      {SB::Ignore, Answer::Ignore}};
  for (auto [b, a] : answers) EXPECT_EQ(qm::ui::Answer_Of(b), a);

  When_Modal([](QWidget* w) {
    auto* box = qobject_cast<QMessageBox*>(w);
    ASSERT_NE(box, nullptr);
    box->button(SB::No)->click();
  });
  EXPECT_EQ(d.Message({"Create?", "", Buttons::Yes_No, qm::Icon::None, 1}), Answer::No);

  // Escape is Cancel.
  When_Modal([](QWidget* w) { qobject_cast<QDialog*>(w)->reject(); });
  EXPECT_EQ(d.Message({"Exiting Quaymark, are you sure?", "Quaymark Exit", Buttons::OK_Cancel,
                       qm::Icon::None, 2}),
            Answer::Cancel);
}

TEST(Qt_Dialogs, InputBoxGivesTheTextOrNothing) {
  qm::ui::Qt_Dialogs d("Quaymark");
  When_Modal([](QWidget* w) {
    auto* in = qobject_cast<QInputDialog*>(w);
    ASSERT_NE(in, nullptr);
    EXPECT_EQ(in->labelText(), "Give event name");
    EXPECT_EQ(in->textValue(), "Regatta");
    in->setTextValue("Regatta 2026");
    in->accept();
  });
  EXPECT_EQ(d.Input("Give event name", "", "Regatta"), std::optional<QString>("Regatta 2026"));
  When_Modal([](QWidget* w) { qobject_cast<QDialog*>(w)->reject(); });
  EXPECT_EQ(d.Input("Give event name", "", "Regatta"), std::nullopt);
}

}  // namespace

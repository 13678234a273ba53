#include "platform/dialogs.h"

namespace qm {

namespace {
Scripted_Dialogs& Default_Dialogs() {
  static Scripted_Dialogs d;
  return d;
}
Dialogs*& Installed() {
  static Dialogs* d = nullptr;
  return d;
}
}  // namespace

Dialogs& dialogs() {
  Dialogs* d = Installed();
  return d ? *d : Default_Dialogs();
}

Dialogs* Set_Dialogs(Dialogs* d) {
  Dialogs* old = Installed();
  Installed() = d;
  return old;
}

Answer MsgBox(const QString& text, Buttons buttons, const QString& title, Icon icon,
              int default_button) {
  return dialogs().Message({text, title, buttons, icon, default_button});
}

std::optional<QString> InputBox(const QString& prompt, const QString& title,
                                const QString& default_text) {
  return dialogs().Input(prompt, title, default_text);
}

Answer Refusal_For(Buttons buttons) {
  switch (buttons) {
    case Buttons::OK:
      return Answer::OK;
    case Buttons::Yes_No:
      return Answer::No;
    case Buttons::Abort_Retry_Ignore:
      return Answer::Abort;
    default:
      return Answer::Cancel;
  }
}

Answer Scripted_Dialogs::Message(const Message_Request& request) {
  records_.push_back(
      {Record::Kind::Message, request.text, request.title, request.buttons, request.icon, {}});
  if (on_record) on_record(records_.back());
  if (request.buttons == Buttons::OK) {
    // A plain message needs no answer; consume a scripted OK if one is next.
    if (!script_.empty() && std::holds_alternative<Answer>(script_.front()) &&
        std::get<Answer>(script_.front()) == Answer::OK)
      script_.pop_front();
    return Answer::OK;
  }
  if (!script_.empty() && std::holds_alternative<Answer>(script_.front())) {
    Answer a = std::get<Answer>(script_.front());
    script_.pop_front();
    return a;
  }
  return Refusal_For(request.buttons);
}

std::optional<QString> Scripted_Dialogs::Input(const QString& prompt, const QString& title,
                                               const QString& default_text) {
  records_.push_back(
      {Record::Kind::Input, prompt, title, Buttons::OK_Cancel, Icon::None, default_text});
  if (on_record) on_record(records_.back());
  if (!script_.empty() && std::holds_alternative<std::optional<QString>>(script_.front())) {
    auto v = std::get<std::optional<QString>>(script_.front());
    script_.pop_front();
    return v;
  }
  return std::nullopt;
}

QString Scripted_Dialogs::File(const File_Request& request) {
  records_.push_back({Record::Kind::File, request.title, request.folder, Buttons::OK_Cancel,
                      Icon::None, request.filter});
  if (on_record) on_record(records_.back());
  if (!script_.empty() && std::holds_alternative<std::optional<QString>>(script_.front())) {
    auto v = std::get<std::optional<QString>>(script_.front());
    script_.pop_front();
    return v.value_or(QString());
  }
  return {};
}

QStringList Scripted_Dialogs::Texts() const {
  QStringList out;
  for (const auto& r : records_) out << r.text;
  return out;
}

}  // namespace qm

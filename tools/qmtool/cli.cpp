#include "cli.h"

#include "shell/error_report.h"

#include <QTextStream>

#include <algorithm>

namespace qmtool {

class Session::View : public qm::Error_Report_View {
public:
  explicit View(Session& s) : s_(s) {}
  void Show_Report(const QString& text) override {
    s_.failure_reported_ = true;
    QString t = text;
    t.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    QTextStream(stderr) << t;
  }

private:
  Session& s_;
};

Session::Session() {
  dialogs_.on_record = [this](const qm::Scripted_Dialogs::Record& r) {
    QTextStream err(stderr);
    err << r.text << "\n";
    if (r.kind == qm::Scripted_Dialogs::Record::Kind::Message && r.buttons != qm::Buttons::OK &&
        dialogs_.Script_Empty())
      question_refused_ = true;
    if (r.kind == qm::Scripted_Dialogs::Record::Kind::Input && dialogs_.Script_Empty())
      question_refused_ = true;
  };
  previous_ = qm::Set_Dialogs(&dialogs_);
  view_ = new View(*this);
  qm::Install_Error_Report();
  qm::Set_Error_Report_View(view_);
}

Session::~Session() {
  qm::Set_Error_Report_View(nullptr);
  qm::Set_Dialogs(previous_);
  delete view_;
}

int Session::Finish(bool ok) const {
  if (failure_reported_) return Exit_Failed;
  if (question_refused_) return Exit_Cancelled;
  return ok ? Exit_Ok : Exit_Failed;
}

bool Args::Flag(const QString& name) {
  const qsizetype i = args_.indexOf(name);
  if (i < 0) return false;
  args_.removeAt(i);
  return true;
}

std::optional<QString> Args::Value(const QString& name) {
  const qsizetype i = args_.indexOf(name);
  if (i < 0 || i + 1 >= args_.size()) return std::nullopt;
  QString v = args_.at(i + 1);
  args_.remove(i, 2);
  return v;
}

QStringList Args::Positional() const {
  QStringList out;
  for (const QString& a : args_)
    if (!a.startsWith(QStringLiteral("--"))) out << a;
  return out;
}

QStringList Args::Leftover_Options() const {
  QStringList out;
  for (const QString& a : args_)
    if (a.startsWith(QStringLiteral("--"))) out << a;
  return out;
}

namespace {
std::vector<Command>& Registry() {
  static std::vector<Command> r;
  return r;
}
}  // namespace

Registrar::Registrar(Command c) {
  Registry().push_back(std::move(c));
  std::sort(Registry().begin(), Registry().end(),
            [](const Command& a, const Command& b) { return a.name < b.name; });
}

const std::vector<Command>& Commands() { return Registry(); }

int Usage_Error(const QString& cmd, const QString& message) {
  QTextStream err(stderr);
  err << "qmtool " << cmd << ": " << message << "\n";
  for (const Command& c : Commands())
    if (c.name == cmd) err << "usage: qmtool " << c.usage << "\n";
  return Exit_Usage;
}

}  // namespace qmtool

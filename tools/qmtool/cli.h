#pragma once
// qmtool's frame: subcommands register themselves; a session answers the
// program's dialogs from the command's options, prints every message and
// error report on standard error and turns the outcome into the exit status.

#include "platform/dialogs.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

namespace qmtool {

enum Exit : int { Exit_Ok = 0, Exit_Failed = 1, Exit_Usage = 2, Exit_Cancelled = 3 };

class Session {
public:
  Session();
  ~Session();
  qm::Scripted_Dialogs& dialogs() { return dialogs_; }
  // True once an error report was made during the command.
  bool Failure_Reported() const { return failure_reported_; }
  // True when a question (not a plain message) was answered by refusal.
  bool Question_Refused() const { return question_refused_; }
  // Standard exit status for a command that ran: 1 on a report, 3 on a
  // refused question, else `ok ? 0 : 1`.
  int Finish(bool ok) const;

private:
  qm::Scripted_Dialogs dialogs_;
  qm::Dialogs* previous_ = nullptr;
  bool failure_reported_ = false;
  bool question_refused_ = false;
  class View;
  View* view_ = nullptr;
};

// Options of one command: "--name value" and "--flag".
class Args {
public:
  explicit Args(QStringList args) : args_(std::move(args)) {}
  bool Flag(const QString& name);  // removes it
  std::optional<QString> Value(const QString& name);  // removes "--name value"
  QStringList Positional() const;  // what is left, without options
  QStringList Leftover_Options() const;  // unknown "--x" left
private:
  QStringList args_;
};

struct Command {
  QString name;
  QString usage;  // one line, after "qmtool "
  std::function<int(Session&, Args&)> run;
};

// Registers at static-initialisation time; use from a cmd_*.cpp file:
//   static qmtool::Registrar reg{{"info", "info FILE [--json]", &Run_Info}};
struct Registrar {
  explicit Registrar(Command c);
};

const std::vector<Command>& Commands();

// Prints a usage error for `cmd` and returns Exit_Usage.
int Usage_Error(const QString& cmd, const QString& message);

}  // namespace qmtool

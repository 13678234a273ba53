#pragma once
// Runs one of the project's programs as its own process, as a user would.
#include <QByteArray>
#include <QString>
#include <QStringList>

namespace qmtest {

struct Run_Result {
  int status = -1;  // exit code; -1 when it crashed or did not finish
  QByteArray out, err;
};

Run_Result Run_Program(const QString& program, const QStringList& args, int timeout_ms = 120000);
inline Run_Result Qmtool(const QStringList& args) { return Run_Program(QStringLiteral(QM_QMTOOL), args); }

}  // namespace qmtest

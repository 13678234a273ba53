#include "support/run_program.h"

#include <QProcess>

namespace qmtest {

Run_Result Run_Program(const QString& program, const QStringList& args, int timeout_ms) {
  QProcess p;
  p.start(program, args);
  Run_Result r;
  if (!p.waitForFinished(timeout_ms)) return r;
  r.status = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
  r.out = p.readAllStandardOutput();
  r.err = p.readAllStandardError();
  return r;
}

}  // namespace qmtest

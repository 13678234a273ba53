// qmtool demo: films the demo heat and writes its ground truth beside it.
#include "capture_file/demo_heat.h"
#include "cli.h"
#include "platform/failure.h"

#include <QFile>
#include <QFileInfo>
#include <QTextStream>

namespace {

int Run_Demo(qmtool::Session& session, qmtool::Args& args) {
  qm::Demo_Options o;
  const auto out = args.Value(QStringLiteral("-o"));
  if (!out) return qmtool::Usage_Error(QStringLiteral("demo"), QStringLiteral("-o FILE.kv2 is required"));
  bool ok = true;
  auto number = [&](const char* name, int& target, int lo, int hi) {
    if (auto v = args.Value(QString::fromLatin1(name))) {
      bool good = false;
      const int n = v->toInt(&good);
      if (!good || n < lo || n > hi) ok = false;
      target = n;
    }
  };
  number("--lanes", o.lanes, 1, 9);
  number("--seconds", o.seconds, 1, 600);
  number("--streams", o.streams, 1, 2);
  int seed = 1;
  number("--seed", seed, 0, 1 << 30);
  o.seed = static_cast<uint32_t>(seed);
  o.rotated = args.Flag(QStringLiteral("--rotated"));
  if (!ok || !args.Leftover_Options().isEmpty() || !args.Positional().isEmpty())
    return qmtool::Usage_Error(QStringLiteral("demo"), QStringLiteral("bad option"));

  const QString path = *out;
  const bool made = qm::Trapped(qm::Where_Module("Make_Demo_Heat", "Module_demo"), [&] {
    const qm::Demo_Truth truth = qm::Make_Demo_Heat(path, o);
    const QFileInfo fi(path);
    QFile json(fi.path() + QStringLiteral("/") + fi.completeBaseName() + QStringLiteral(".truth.json"));
    if (!json.open(QIODevice::WriteOnly | QIODevice::Truncate)) qm::Raise(qm::Err_Path_Access);
    json.write(qm::Demo_Truth_Json(truth));
  });
  if (made) QTextStream(stdout) << path << "\n";
  return session.Finish(made);
}

qmtool::Registrar reg{{QStringLiteral("demo"),
                       QStringLiteral("demo -o FILE.kv2 [--lanes N] [--seconds S] [--rotated] "
                                      "[--streams 1|2] [--seed K]"),
                       &Run_Demo}};

}  // namespace

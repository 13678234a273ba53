// qmtool marathon: the entries of a marathon results file as the results
// grid lists them (class, competitor, race time).
#include "cli.h"
#include "marathon/marathon_entry.h"
#include "marathon/marathon_grid.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTextStream>

namespace {

int Run_Marathon(qmtool::Session& session, qmtool::Args& args) {
  const bool json = args.Flag(QStringLiteral("--json"));
  const QStringList files = args.Positional();
  if (files.size() > 1 || !args.Leftover_Options().isEmpty())
    return qmtool::Usage_Error(QStringLiteral("marathon"),
                               QStringLiteral("at most one RESULTS_FILE expected"));
  const QString path = files.isEmpty() ? qm::Marathon_Result_Path() : files.at(0);
  qm::Marathon_Grid grid;
  grid.Fill(path);
  QTextStream out(stdout);
  if (json) {
    QJsonObject o;
    o.insert(QStringLiteral("file"), path);
    QJsonArray rows;
    for (const qm::Marathon_Grid_Row& r : grid.rows) {
      QJsonObject row;
      row.insert(QStringLiteral("heat_id"), r.heat_id);
      row.insert(QStringLiteral("competitor"), r.competitor);
      row.insert(QStringLiteral("time"), r.time);
      rows.append(row);
    }
    o.insert(QStringLiteral("entries"), rows);
    out << QJsonDocument(o).toJson(QJsonDocument::Indented);
  } else {
    out << QString(grid.Label_file).replace(QStringLiteral("\r\n"), QStringLiteral("\n")) << "\n";
    for (const qm::Marathon_Grid_Row& r : grid.rows)
      out << r.heat_id << "\t" << r.competitor << "\t" << r.time << "\n";
  }
  out.flush();
  return session.Finish(true);
}

const qmtool::Registrar reg{{QStringLiteral("marathon"),
                             QStringLiteral("marathon [RESULTS_FILE] [--json]"), &Run_Marathon}};

}  // namespace

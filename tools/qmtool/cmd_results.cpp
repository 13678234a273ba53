// qmtool results: the rows of the results window after the results are
// refreshed from the file, with event name, heat ID and start correction.
#include "capture_file/avi_handler.h"
#include "cli.h"
#include "race_timing/file_player.h"
#include "race_timing/race_session.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTextStream>

namespace {

QJsonObject Row_Json(const qm::Result_Row& r) {
  QJsonObject o;
  o.insert(QStringLiteral("place"), r.place);
  o.insert(QStringLiteral("lane"), r.lane);
  o.insert(QStringLiteral("time"), r.time);
  o.insert(QStringLiteral("delta"), r.delta);
  o.insert(QStringLiteral("time_ms"), r.slot.time);
  o.insert(QStringLiteral("goal_field"), r.slot.goal_field);
  o.insert(QStringLiteral("click_time"), r.slot.click_time);
  return o;
}

int Run_Results(qmtool::Session& session, qmtool::Args& args) {
  const bool json = args.Flag(QStringLiteral("--json"));
  const QStringList files = args.Positional();
  if (files.size() != 1 || !args.Leftover_Options().isEmpty())
    return qmtool::Usage_Error(QStringLiteral("results"), QStringLiteral("one FILE expected"));
  qm::cls_AVI_handler file;
  qm::Race_Session race;
  qm::File_Player player(file);
  if (!qm::Open_For_Timing(files.at(0), file, race, player)) return session.Finish(false);

  const qm::Result_Rows& rows = race.rows;
  QTextStream out(stdout);
  if (json) {
    QJsonObject o;
    o.insert(QStringLiteral("Event_name"), rows.Lbl_event_name);
    o.insert(QStringLiteral("Heat_ID"), rows.Lbl_heat);
    o.insert(QStringLiteral("Correction_ms"), race.correction.Correction_ms);
    QJsonArray list;
    for (int i = 0; i < rows.filled; ++i) list.append(Row_Json(rows.rows[static_cast<size_t>(i)]));
    o.insert(QStringLiteral("rows"), list);
    out << QJsonDocument(o).toJson(QJsonDocument::Indented);
  } else {
    out << "Event name: " << rows.Lbl_event_name << "\n"
        << "Heat ID: " << rows.Lbl_heat << "\n"
        << "Correction: " << race.correction.Correction_ms << " ms\n";
    for (int i = 0; i < rows.filled; ++i) {
      const qm::Result_Row& r = rows.rows[static_cast<size_t>(i)];
      out << r.place << "\t" << r.lane << "\t" << r.time << "\t" << r.delta << "\n";
    }
  }
  out.flush();
  return session.Finish(true);
}

const qmtool::Registrar reg{
    {QStringLiteral("results"), QStringLiteral("results FILE [--json]"), &Run_Results}};

}  // namespace

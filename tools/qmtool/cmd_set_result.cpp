// qmtool set-result: one timing command on a lane, as the operator gives it
// on the field on show.
#include "capture_file/avi_handler.h"
#include "cli.h"
#include "race_timing/file_player.h"
#include "race_timing/lane_result.h"
#include "race_timing/race_session.h"

#include <QTextStream>

namespace {

const QString Cmd = QStringLiteral("set-result");

std::optional<int32_t> Status_Code(const QString& s) {
  if (s == QLatin1String("DSQ")) return qm::Status_DSQ;
  if (s == QLatin1String("DNS")) return qm::Status_DNS;
  if (s == QLatin1String("DNF")) return qm::Status_DNF;
  if (s == QLatin1String("clear")) return qm::No_result;
  return std::nullopt;
}

int Run_Set_Result(qmtool::Session& session, qmtool::Args& args) {
  const bool yes = args.Flag(QStringLiteral("--yes"));
  const bool plus = args.Flag(QStringLiteral("--plus"));
  const std::optional<QString> lane_text = args.Value(QStringLiteral("--lane"));
  const std::optional<QString> field_text = args.Value(QStringLiteral("--field"));
  const std::optional<QString> status_text = args.Value(QStringLiteral("--status"));
  const QStringList files = args.Positional();
  if (files.size() != 1 || !args.Leftover_Options().isEmpty())
    return qmtool::Usage_Error(Cmd, QStringLiteral("one FILE expected"));
  bool ok = false;
  const int lane = lane_text ? lane_text->toShort(&ok) : 0;
  if (!lane_text || !ok) return qmtool::Usage_Error(Cmd, QStringLiteral("--lane L is required"));
  if (field_text.has_value() == status_text.has_value())
    return qmtool::Usage_Error(Cmd, QStringLiteral("give either --field F or --status S"));
  if (plus && !field_text) return qmtool::Usage_Error(Cmd, QStringLiteral("--plus needs --field"));
  int32_t heat_result = 0;
  int32_t field = 0;
  if (status_text) {
    const std::optional<int32_t> code = Status_Code(*status_text);
    if (!code) return qmtool::Usage_Error(Cmd, QStringLiteral("--status DSQ|DNS|DNF|clear"));
    heat_result = *code;
  } else {
    field = field_text->toInt(&ok);
    if (!ok) return qmtool::Usage_Error(Cmd, QStringLiteral("--field F must be a whole number"));
  }

  // The override question is answered OK only when asked to.
  if (yes) session.dialogs().Answer_With(qm::Answer::OK);

  qm::cls_AVI_handler file;
  qm::Race_Session race;
  qm::File_Player player(file);
  if (!qm::Open_For_Timing(files.at(0), file, race, player)) return session.Finish(false);
  if (field_text) {
    if (field < 1 || field > file.Num_fields())
      return qmtool::Usage_Error(
          Cmd, QStringLiteral("--field must lie in 1 to %1").arg(file.Num_fields()));
    player.Show_Field(field);
  }
  const bool read_only = file.Read_only();
  race.Attach_Time(static_cast<int16_t>(lane), heat_result, plus);
  return session.Finish(!read_only);
}

const qmtool::Registrar reg{
    {Cmd,
     QStringLiteral("set-result FILE --lane L (--field F [--plus] | --status DSQ|DNS|DNF|clear) "
                    "[--yes]"),
     &Run_Set_Result}};

}  // namespace

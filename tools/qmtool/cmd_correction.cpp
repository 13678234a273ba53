// qmtool correction: the heat's start correction, stored as the panel does.
#include "capture_file/avi_handler.h"
#include "cli.h"
#include "race_timing/file_player.h"
#include "race_timing/race_session.h"

namespace {

const QString Cmd = QStringLiteral("correction");

int Run_Correction(qmtool::Session& session, qmtool::Args& args) {
  const std::optional<QString> ms_text = args.Value(QStringLiteral("--set"));
  const QStringList files = args.Positional();
  if (files.size() != 1 || !args.Leftover_Options().isEmpty())
    return qmtool::Usage_Error(Cmd, QStringLiteral("one FILE expected"));
  bool ok = false;
  const int32_t ms = ms_text ? ms_text->toInt(&ok) : 0;
  if (!ms_text || !ok)
    return qmtool::Usage_Error(Cmd, QStringLiteral("--set MS (whole milliseconds) is required"));

  qm::cls_AVI_handler file;
  qm::Race_Session race;
  qm::File_Player player(file);
  if (!qm::Open_For_Timing(files.at(0), file, race, player)) return session.Finish(false);
  race.Set_Correction(ms);
  return session.Finish(true);
}

const qmtool::Registrar reg{{Cmd, QStringLiteral("correction FILE --set MS"), &Run_Correction}};

}  // namespace

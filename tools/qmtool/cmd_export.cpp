// qmtool export: writes the file that the results window's "Export" button
// would write for the heat, and prints its path.
#include "capture_file/avi_handler.h"
#include "cli.h"
#include "platform/failure.h"
#include "race_timing/file_player.h"
#include "race_timing/race_session.h"
#include "results_output/heat_facts.h"
#include "results_output/results_export.h"

#include <QTextStream>

namespace {

int Run_Export(qmtool::Session& session, qmtool::Args& args) {
  const bool csv = args.Flag(QStringLiteral("--csv"));
  const bool xml = args.Flag(QStringLiteral("--xml"));
  const std::optional<QString> folder = args.Value(QStringLiteral("--folder"));
  const std::optional<QString> name = args.Value(QStringLiteral("--name"));
  const QStringList files = args.Positional();
  if (files.size() != 1 || !args.Leftover_Options().isEmpty())
    return qmtool::Usage_Error(QStringLiteral("export"), QStringLiteral("one FILE expected"));
  if (csv == xml)
    return qmtool::Usage_Error(QStringLiteral("export"),
                               QStringLiteral("give one of --csv and --xml"));

  qm::cls_AVI_handler file;
  qm::Race_Session race;
  qm::File_Player player(file);
  if (!qm::Open_For_Timing(files.at(0), file, race, player)) return session.Finish(false);

  qm::Results_Export x;
  x.Load_Export_Folder();
  if (folder) x.Export_folder = *folder;  // for this run only, never saved
  x.Opt_exp_format = csv ? qm::Export_Format::CSV : qm::Export_Format::XML;
  if (name) x.Alternative_export_name = *name;
  const bool ok = x.Cmd_export_Click(false, file, race.rows);
  if (ok) QTextStream(stdout) << x.Last_export_file << "\n";
  return session.Finish(ok);
}

const qmtool::Registrar reg{{QStringLiteral("export"),
                             QStringLiteral("export FILE --csv|--xml [--folder DIR] [--name NAME]"),
                             &Run_Export}};

}  // namespace

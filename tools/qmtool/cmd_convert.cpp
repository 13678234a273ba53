// qmtool convert: an old VDV file into a KV2 file beside it, as the
// "Convert file" command makes it; the new file's path on standard output.
#include "capture_file/kv_convert.h"
#include "cli.h"

#include <QTextStream>

namespace {

int Run_Convert(qmtool::Session& session, qmtool::Args& args) {
  const QStringList files = args.Positional();
  if (files.size() != 1 || !args.Leftover_Options().isEmpty())
    return qmtool::Usage_Error(QStringLiteral("convert"), QStringLiteral("one FILE.vdv expected"));
  const qm::Convert_Result r = qm::Convert_VDV_File(files.at(0));
  if (!r.kv2_path.isEmpty()) QTextStream(stdout) << r.kv2_path << '\n';
  return session.Finish(r.ok);
}

const qmtool::Registrar reg{
    {QStringLiteral("convert"), QStringLiteral("convert FILE.vdv"), &Run_Convert}};

}  // namespace

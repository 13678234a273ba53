// qmtool new-header: the XML header a new capture file gets, byte for byte
// as the file stores it (Latin-1, CR LF between elements).
#include "capture_file/xml_header.h"
#include "cli.h"

#include <cstdio>

namespace {

int Run_New_Header(qmtool::Session& session, qmtool::Args& args) {
  if (!args.Positional().isEmpty() || !args.Leftover_Options().isEmpty())
    return qmtool::Usage_Error(QStringLiteral("new-header"), QStringLiteral("takes no arguments"));
  qm::Cls_XML_header header;
  header.Create_Header();
  const QByteArray bytes = qm::To_Latin1_Bytes(header.XML_string());
  const bool written =
      std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout) == size_t(bytes.size()) &&
      std::fflush(stdout) == 0;
  return session.Finish(written && !bytes.isEmpty());
}

const qmtool::Registrar reg{
    {QStringLiteral("new-header"), QStringLiteral("new-header"), &Run_New_Header}};

}  // namespace

// qmtool info: what the capture-file object makes of a file once opened.
#include "capture_file/avi_handler.h"
#include "capture_file/xml_header.h"
#include "cli.h"
#include "platform/failure.h"
#include "platform/files.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTextStream>

namespace {

// A value the file cannot give (a missing node, a text that is no number) is null.
template <class F>
QJsonValue Or_Null(F&& read) {
  try {
    return QJsonValue(read());
  } catch (const qm::Failure&) {
    return QJsonValue(QJsonValue::Null);
  }
}

QJsonObject Info_Json(qm::cls_AVI_handler& h) {
  using K = qm::Capture_Kind;
  const bool kv = h.Kind() == K::KV;
  const bool xml = h.XML_header().Valid();
  const QJsonValue null(QJsonValue::Null);
  QJsonObject o;
  o.insert(QStringLiteral("kind"), qm::File_Suffix(h.File_name()).toLower());
  o.insert(QStringLiteral("is_Quaymark"), h.is_Quaymark());
  o.insert(QStringLiteral("Read_only"), h.Read_only());
  o.insert(QStringLiteral("Num_Video_streams"), h.Num_Video_streams());
  o.insert(QStringLiteral("num_frames"), h.num_frames());
  o.insert(QStringLiteral("Num_fields"), h.Num_fields());
  o.insert(QStringLiteral("num_Calculated_frames"),
           kv ? QJsonValue(h.num_Calculated_frames()) : null);
  o.insert(QStringLiteral("Width"), h.Width());
  o.insert(QStringLiteral("Height"), h.Height());
  o.insert(QStringLiteral("Frame_Rate"), h.Frame_Rate());
  o.insert(QStringLiteral("m_Frame_ms"), h.m_Frame_ms());
  o.insert(QStringLiteral("m_Field_ms"), h.m_Field_ms());
  o.insert(QStringLiteral("mill_per_frame"), h.mill_per_frame());
  o.insert(QStringLiteral("video_codec"), h.video_codec());
  o.insert(QStringLiteral("NTSC"), h.NTSC());
  o.insert(QStringLiteral("Is_Deinterlaced"), h.Is_Deinterlaced());
  o.insert(QStringLiteral("is_DV"), h.is_DV());
  o.insert(QStringLiteral("m_Index_placement"),
           h.Kind() == K::AVI ? QJsonValue(qm::Placement_Name(h.m_Index_placement())) : null);
  o.insert(QStringLiteral("Has_XML_header"), h.Has_XML_header());
  o.insert(QStringLiteral("Header_len"), kv ? QJsonValue(h.Header_len()) : null);
  o.insert(QStringLiteral("XML_len"), kv ? QJsonValue(h.XML_len()) : null);

  const auto from_xml = [&](const QString& key, auto&& read) {
    o.insert(key, xml ? Or_Null(read) : null);
  };
  from_xml(QStringLiteral("Event_name"), [&] { return h.Event_name(); });
  from_xml(QStringLiteral("Heat_ID"), [&] { return h.Heat_ID(1); });
  from_xml(QStringLiteral("Lane_count"), [&] { return int(h.Lane_count()); });
  from_xml(QStringLiteral("Start_lane"), [&] { return int(h.Start_lane()); });
  from_xml(QStringLiteral("Goal_line"), [&] {
    const auto g = h.Get_Goalline();
    return QJsonArray{g[0], g[1], g[2], g[3]};
  });
  from_xml(QStringLiteral("Lanes_locked"), [&] { return h.Lanes_locked(); });
  from_xml(QStringLiteral("Lanes_flipped"), [&] { return h.Lanes_flipped(); });
  from_xml(QStringLiteral("Lanes_Visible"), [&] { return h.Lanes_Visible(); });
  from_xml(QStringLiteral("Show_goalline"), [&] { return h.Show_goalline(); });
  o.insert(QStringLiteral("rotated"), h.rotated());
  from_xml(QStringLiteral("Creation_Date"), [&] { return h.Creation_Date(); });
  from_xml(QStringLiteral("Last_Capture_time"), [&] { return h.Last_Capture_time(); });
  from_xml(QStringLiteral("Computer_name"), [&] { return h.Computer_name(); });
  from_xml(QStringLiteral("Heat_comment"), [&] { return h.Heat_comment(1); });
  from_xml(QStringLiteral("Start_PC_mill"), [&] { return h.Start_PC_Mill_time(1); });
  from_xml(QStringLiteral("Start_local_mill"), [&] { return h.Start_local_Mill_Time(1); });
  from_xml(QStringLiteral("Heat_Start_Correction"), [&] { return h.Heat_Start_Correction(1); });
  const auto lanes = [&](const QString& key, auto&& read) {
    QJsonArray a;
    for (int16_t l = 0; l < 16; ++l) a.append(xml ? Or_Null([&] { return read(l); }) : null);
    o.insert(key, a);
  };
  lanes(QStringLiteral("Heat_time"), [&](int16_t l) { return h.Heat_time(1, l); });
  lanes(QStringLiteral("Heat_Clicktime"), [&](int16_t l) { return h.Heat_Clicktime(1, l); });
  lanes(QStringLiteral("Heat_Goalfield"), [&](int16_t l) { return h.Heat_Goalfield(1, l); });
  return o;
}

QString Plain(const QJsonValue& v) {
  if (v.isNull()) return QStringLiteral("-");
  if (v.isBool()) return v.toBool() ? QStringLiteral("true") : QStringLiteral("false");
  if (v.isDouble()) return QString::number(v.toInteger());
  if (v.isArray()) {
    QStringList parts;
    for (const QJsonValue& e : v.toArray()) parts << Plain(e);
    return parts.join(QLatin1Char(' '));
  }
  return v.toString();
}

int Run_Info(qmtool::Session& session, qmtool::Args& args) {
  const bool json = args.Flag(QStringLiteral("--json"));
  const QStringList files = args.Positional();
  if (files.size() != 1 || !args.Leftover_Options().isEmpty())
    return qmtool::Usage_Error(QStringLiteral("info"), QStringLiteral("one FILE expected"));
  qm::cls_AVI_handler h;
  if (!h.Open_File(files.at(0))) return session.Finish(false);
  const QJsonObject o = Info_Json(h);
  QTextStream out(stdout);
  if (json) {
    out << QJsonDocument(o).toJson(QJsonDocument::Indented);
  } else {
    static const char* const order[] = {"kind",
                                        "is_Quaymark",
                                        "Read_only",
                                        "Num_Video_streams",
                                        "num_frames",
                                        "Num_fields",
                                        "num_Calculated_frames",
                                        "Width",
                                        "Height",
                                        "Frame_Rate",
                                        "m_Frame_ms",
                                        "m_Field_ms",
                                        "mill_per_frame",
                                        "video_codec",
                                        "NTSC",
                                        "Is_Deinterlaced",
                                        "is_DV",
                                        "m_Index_placement",
                                        "Has_XML_header",
                                        "Header_len",
                                        "XML_len",
                                        "Event_name",
                                        "Heat_ID",
                                        "Lane_count",
                                        "Start_lane",
                                        "Goal_line",
                                        "Lanes_locked",
                                        "Lanes_flipped",
                                        "Lanes_Visible",
                                        "Show_goalline",
                                        "rotated",
                                        "Creation_Date",
                                        "Last_Capture_time",
                                        "Computer_name",
                                        "Heat_comment",
                                        "Start_PC_mill",
                                        "Start_local_mill",
                                        "Heat_Start_Correction",
                                        "Heat_time",
                                        "Heat_Clicktime",
                                        "Heat_Goalfield"};
    for (const char* key : order) out << key << ": " << Plain(o.value(QLatin1String(key))) << "\n";
  }
  out.flush();
  h.Close_File();
  return session.Finish(true);
}

qmtool::Registrar reg{{QStringLiteral("info"), QStringLiteral("info FILE [--json]"), &Run_Info}};

}  // namespace

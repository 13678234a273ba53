// qmtool fields: one row per field, the field chosen exactly as the field
// display chooses it, with its time and the DV packs of its frame.
#include "capture_file/avi_handler.h"
#include "capture_file/dv_timecode.h"
#include "cli.h"
#include "platform/failure.h"
#include "race_timing/mill_time.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTextStream>

#include <algorithm>

namespace {

std::optional<int32_t> Number(qmtool::Args& args, const QString& name, bool& bad) {
  const std::optional<QString> v = args.Value(name);
  if (!v) return std::nullopt;
  bool ok = false;
  const int32_t n = v->toInt(&ok);
  if (!ok) bad = true;
  return n;
}

QJsonObject Field_Json(qm::cls_AVI_handler& h, int32_t field, int16_t stream) {
  const QJsonValue null(QJsonValue::Null);
  const qm::Field_Selection s = qm::Select_Field(field);
  h.Set_Draw_State(s);
  h.Read_Frame(s.eff_frameno, stream);
  const uint8_t* frame = h.Frame_address();
  qm::DV_Header_Parse(frame, frame ? static_cast<size_t>(h.m_Frame_size()) : 0);
  QJsonObject o;
  o.insert(QStringLiteral("field"), field);
  o.insert(QStringLiteral("eff_frameno"), h.eff_frameno());
  o.insert(QStringLiteral("Field_To_Show"), h.Field_To_Show());
  // Only KV frames carry stamps; the times of other kinds mean nothing.
  QJsonValue stamp = null, text = null, time_of_day = null, laps = null;
  if (h.Kind() == qm::Capture_Kind::KV) {
    try {
      const int32_t t = h.Multi_TimeStamp(1);
      stamp = t;
      text = qm::Display_Mill_Time(t, false);
    } catch (const qm::Failure&) {
    }
    time_of_day = h.Field_time_of_day();
    laps = h.Lap_Count();
  }
  o.insert(QStringLiteral("Multi_TimeStamp"), stamp);
  o.insert(QStringLiteral("time_text"), text);
  o.insert(QStringLiteral("Frame_time"), time_of_day);
  o.insert(QStringLiteral("Lap_Count"), laps);
  o.insert(QStringLiteral("Camera_clock_text"), qm::Camera_clock_text());
  o.insert(QStringLiteral("Shutter_text"), qm::Shutter_text());
  o.insert(QStringLiteral("Line_system"), qm::Line_system());
  o.insert(QStringLiteral("Timecode_frame_number"), qm::Timecode_frame_number());
  return o;
}

QString Plain(const QJsonValue& v) {
  if (v.isNull()) return QStringLiteral("-");
  if (v.isDouble()) return QString::number(v.toInteger());
  return v.toString();
}

int Run_Fields(qmtool::Session& session, qmtool::Args& args) {
  const bool json = args.Flag(QStringLiteral("--json"));
  bool bad = false;
  const std::optional<int32_t> from = Number(args, QStringLiteral("--from"), bad);
  const std::optional<int32_t> to = Number(args, QStringLiteral("--to"), bad);
  const std::optional<int32_t> stream = Number(args, QStringLiteral("--stream"), bad);
  const QStringList files = args.Positional();
  if (bad || files.size() != 1 || !args.Leftover_Options().isEmpty())
    return qmtool::Usage_Error(QStringLiteral("fields"),
                               QStringLiteral("one FILE and whole numbers expected"));
  qm::cls_AVI_handler h;
  if (!h.Open_File(files.at(0))) return session.Finish(false);

  QJsonArray rows;
  const bool dv_frames = (h.is_DV() || h.m_Raw_DV()) && !h.Is_Deinterlaced();
  if (dv_frames && h.Num_fields() > 0) {
    const int32_t a = std::clamp(from.value_or(1), 1, h.Num_fields());
    const int32_t b = std::clamp(to.value_or(h.Num_fields()), 1, h.Num_fields());
    const int16_t s = static_cast<int16_t>(std::clamp(stream.value_or(1), 1, 5));
    for (int32_t f = a; f <= b; ++f) {
      try {
        rows.append(Field_Json(h, f, s));
      } catch (const qm::Failure&) {
        break;  // beyond the display's 16-bit frame numbers
      }
    }
  }
  QTextStream out(stdout);
  if (json) {
    out << QJsonDocument(rows).toJson(QJsonDocument::Indented);
  } else {
    static const char* const keys[] = {"field",
                                       "eff_frameno",
                                       "Field_To_Show",
                                       "Multi_TimeStamp",
                                       "time_text",
                                       "Frame_time",
                                       "Lap_Count",
                                       "Camera_clock_text",
                                       "Shutter_text",
                                       "Line_system",
                                       "Timecode_frame_number"};
    QStringList head;
    for (const char* k : keys) head << QLatin1String(k);
    out << head.join(QLatin1Char('\t')) << "\n";
    for (const QJsonValue& r : rows) {
      QStringList cells;
      for (const char* k : keys) cells << Plain(r.toObject().value(QLatin1String(k)));
      out << cells.join(QLatin1Char('\t')) << "\n";
    }
  }
  out.flush();
  h.Close_File();
  return session.Finish(true);
}

qmtool::Registrar reg{{QStringLiteral("fields"),
                       QStringLiteral("fields FILE [--from A] [--to B] [--stream S] [--json]"),
                       &Run_Fields}};

}  // namespace

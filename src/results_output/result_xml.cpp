#include "results_output/result_xml.h"

#include "platform/dialogs.h"
#include "platform/failure.h"
#include "results_output/result_file.h"

#include <QDateTime>
#include <QLocale>

namespace qm {

namespace {

constexpr const char* Cls = "Class_Quaymark_result_XML";
const QString Crlf = QStringLiteral("\r\n");

QString Now_Text() {
  return QLocale::system().toString(QDateTime::currentDateTime(), QLocale::ShortFormat);
}

QString Competitor_Path(const QString& heat_id, const QString& competitor) {
  return QStringLiteral("//result[@id=") + XPath_Literal(heat_id) +
         QStringLiteral("]/competitor[@nbr=") + XPath_Literal(competitor) + QStringLiteral("]");
}

Xml_Node Need_Node(const Xml_Document& doc, const QString& xpath) {
  Xml_Node n = doc.Select_Single_Node(xpath);
  if (n.Is_None()) {
    Extra(xpath);
    Raise(Err_Object_Missing);
  }
  return n;
}

void Append_Child_Text(Xml_Node parent, const char* name, const QString& text) {
  parent.Append_Element(QString::fromLatin1(name)).Set_Text(text);
}

}  // namespace

QString XPath_Literal(const QString& value) {
  const QChar apos = QLatin1Char('\''), quot = QLatin1Char('"');
  if (!value.contains(apos)) return apos + value + apos;
  if (!value.contains(quot)) return quot + value + quot;
  QStringList parts;
  for (const QString& piece : value.split(apos)) parts << apos + piece + apos;
  return QStringLiteral("concat(") + parts.join(QStringLiteral(", \"'\", ")) + QLatin1Char(')');
}

Class_Quaymark_result_XML::Class_Quaymark_result_XML() = default;
Class_Quaymark_result_XML::~Class_Quaymark_result_XML() = default;

void Class_Quaymark_result_XML::Initialize_DOM() {
  Trapped(Where_Class("Initialize_DOM", Cls), [&] {
    m_Doc.Clear();
    m_Doc.Append_Declaration(Xml_Encoding::Utf8);
    Xml_Node race = m_Doc.Append_Element(QStringLiteral("race"));
    Xml_Node info = race.Append_Element(QStringLiteral("raceinfo"));
    info.Append_Text(Crlf);
    const QString now = Now_Text();
    Append_Child_Text(info, "initiated_at", now);
    Append_Child_Text(info, "videofile_initiated_at", now);
    Append_Child_Text(info, "heat_started_at", now);
    Append_Child_Text(info, "last_capture_at", now);
    info.Append_Text(Crlf);
    Append_Child_Text(info, "lastfile", QStringLiteral("false"));
    Append_Child_Text(info, "event", QStringLiteral(" "));
    info.Append_Text(Crlf);
    Append_Child_Text(info, "racetype", QStringLiteral(" "));
    Append_Child_Text(info, "capturehost", QStringLiteral(" "));
    Append_Child_Text(info, "backofficehost", QStringLiteral(" "));
    info.Append_Text(Crlf);
    race.Append_Element(QStringLiteral("heats"));
    race.Append_Element(QStringLiteral("results"));
  });
}

bool Class_Quaymark_result_XML::Load_Existing_XML(const QString& file_name) {
  return Trapped(Where_Class("Load_Existing_XML", Cls), false, [&] {
    if (!m_Doc.Load_File(file_name)) {
      Extra(file_name + QStringLiteral(": ") + m_Doc.Parse_Error().reason);
      Raise(Err_XML_Parse);
    }
    return true;
  });
}

bool Class_Quaymark_result_XML::Serialize() {
  return Trapped(Where_Class("Serialize", Cls), false, [&] {
    if (m_File_name.isEmpty()) Raise(Err_Bad_File);
    Write_Result_File(m_File_name, m_Doc.Bytes());
    return true;
  });
}

QString Class_Quaymark_result_XML::XML() const {
  return Trapped(Where_Class("XML", Cls), QString(), [&] { return m_Doc.Xml(); });
}

void Class_Quaymark_result_XML::Set_Path_Text(const char* proc, const QString& xpath,
                                              const QString& text) {
  Trapped(Where_Class(proc, Cls), [&] { Need_Node(m_Doc, xpath).Set_Text(text); });
}

void Class_Quaymark_result_XML::Capture_Host(const QString& t) {
  Set_Path_Text("Capture_Host", QStringLiteral("//capturehost"), t);
}
void Class_Quaymark_result_XML::Video_Initiated(const QString& t) {
  Set_Path_Text("Video_Initiated", QStringLiteral("//videofile_initiated_at"), t);
}
void Class_Quaymark_result_XML::Heat_Started(const QString& t) {
  Set_Path_Text("Heat_Started", QStringLiteral("//heat_started_at"), t);
}
void Class_Quaymark_result_XML::Last_Capture(const QString& t) {
  Set_Path_Text("Last_Capture", QStringLiteral("//last_capture_at"), t);
}
void Class_Quaymark_result_XML::Backoffice_Host(const QString& t) {
  Set_Path_Text("Backoffice_Host", QStringLiteral("//backofficehost"), t);
}
void Class_Quaymark_result_XML::RaceType(const QString& t) {
  Set_Path_Text("RaceType", QStringLiteral("//racetype"), t);
}
void Class_Quaymark_result_XML::lastFile(const QString& t) {
  Set_Path_Text("lastFile", QStringLiteral("//lastfile"), t);
}
void Class_Quaymark_result_XML::EventName(const QString& t) {
  Set_Path_Text("EventName", QStringLiteral("//event"), t);
}

void Class_Quaymark_result_XML::Create_Heat_node(const QString& id, const QString& name,
                                                 const QString& start_time) {
  Trapped(Where_Class("Create_Heat_node", Cls), [&] {
    if (!m_Doc
             .Select_Single_Node(QStringLiteral("//heat[@id=") + XPath_Literal(id) +
                                 QStringLiteral("]"))
             .Is_None())
      return;
    Xml_Node heats = Need_Node(m_Doc, QStringLiteral("//heats"));
    Xml_Node heat = heats.Append_Element(QStringLiteral("heat"));
    heat.Set_Attribute(QStringLiteral("id"), id);
    heat.Set_Attribute(QStringLiteral("name"), name);
    heat.Set_Attribute(QStringLiteral("start_time"), start_time);
    heats.Append_Text(Crlf);
  });
}

int16_t Class_Quaymark_result_XML::Count_Competitor_Nodes() {
  return Trapped(Where_Class("Count_Competitor_Nodes", Cls), int16_t{0}, [&] {
    return Checked_Int16(
        static_cast<int64_t>(m_Doc.Select_Nodes(QStringLiteral("//competitor")).size()));
  });
}

void Class_Quaymark_result_XML::Create_Result_Node(const QString& id) {
  Trapped(Where_Class("Create_Result_Node", Cls), [&] {
    if (!m_Doc
             .Select_Single_Node(QStringLiteral("//result[@id=") + XPath_Literal(id) +
                                 QStringLiteral("]"))
             .Is_None())
      return;
    Need_Node(m_Doc, QStringLiteral("//results"))
        .Append_Element(QStringLiteral("result"))
        .Set_Attribute(QStringLiteral("id"), id);
  });
}

void Class_Quaymark_result_XML::Create_Competitor_Node(
    const QString& heat_id, const QString& competitor, const QString& elapsed_time,
    const QString& delta_time, const QString& place, const QString& video_file,
    const QString& video_frame) {
  Xml_Node result = Need_Node(
      m_Doc, QStringLiteral("//result[@id=") + XPath_Literal(heat_id) + QStringLiteral("]"));
  result.Append_Text(Crlf);
  Xml_Node c = result.Append_Element(QStringLiteral("competitor"));
  c.Set_Attribute(QStringLiteral("nbr"), competitor);
  Append_Child_Text(c, "elapsed_time", elapsed_time);
  if (!delta_time.isEmpty()) Append_Child_Text(c, "delta_time", delta_time);
  if (!place.isEmpty()) Append_Child_Text(c, "place", place);
  if (!video_file.isEmpty()) Append_Child_Text(c, "video_file", video_file);
  if (!video_frame.isEmpty()) Append_Child_Text(c, "video_frame", video_frame);
}

bool Class_Quaymark_result_XML::Read_Competitor_node(const QString& heat_id,
                                                     const QString& competitor, QString& video_file,
                                                     int16_t& video_frame) {
  video_file.clear();
  video_frame = 0;
  return Trapped(Where_Class("Read_Competitor_node", Cls), false, [&] {
    const QString path = Competitor_Path(heat_id, competitor);
    if (m_Doc.Select_Single_Node(path).Is_None()) return false;
    const QString file = Need_Node(m_Doc, path + QStringLiteral("/video_file")).Text();
    const int16_t frame = To_Int16(Need_Node(m_Doc, path + QStringLiteral("/video_frame")).Text());
    video_file = file;
    video_frame = frame;
    return true;
  });
}

bool Class_Quaymark_result_XML::Override_Competitor_Node(
    const QString& heat_id, const QString& competitor, const QString& elapsed_time,
    const QString& /*delta_time*/, const QString& /*place*/, const QString& video_file,
    const QString& video_frame) {
  bool ok = false;
  try {
    const QString path = Competitor_Path(heat_id, competitor);
    Xml_Node e = Need_Node(m_Doc, path + QStringLiteral("/elapsed_time"));
    Xml_Node f = Need_Node(m_Doc, path + QStringLiteral("/video_file"));
    Xml_Node v = Need_Node(m_Doc, path + QStringLiteral("/video_frame"));
    e.Set_Text(elapsed_time);
    f.Set_Text(video_file);
    v.Set_Text(video_frame);
    ok = Serialize();
  } catch (...) {
    ok = false;
  }
  if (!ok) MsgBox(QStringLiteral("Override failed!"));
  return ok;
}

bool Class_Quaymark_result_XML::Delete_Competitor_Node(const QString& heat_id,
                                                       const QString& competitor) {
  bool ok = false;
  try {
    Xml_Node c = Need_Node(m_Doc, Competitor_Path(heat_id, competitor));
    c.Parent().Remove_Child(c);
    ok = Serialize();
  } catch (...) {
    ok = false;
  }
  if (!ok) MsgBox(QStringLiteral("Delete failed!"));
  return ok;
}

void Class_Quaymark_result_XML::xCreate_lane_Node(const QString& id, const QString& lane,
                                                  const QString& place, const QString& elapsed_time,
                                                  const QString& delta_time) {
  Trapped(Where_Class("xCreate_lane_Node", Cls), [&] {
    const QString lit = XPath_Literal(id);
    if (!m_Doc
             .Select_Single_Node(QStringLiteral("//result[@id=") + lit +
                                 QStringLiteral("]/item[@nbr=") + XPath_Literal(lane) +
                                 QStringLiteral("]"))
             .Is_None()) {
      MsgBox(QStringLiteral("Heat/competitor already assigned!"));
      return;
    }
    Xml_Node r = Need_Node(m_Doc, QStringLiteral("//result[@id=") + lit + QStringLiteral("]"));
    Xml_Node item = r.Append_Element(QStringLiteral("item"));
    item.Set_Attribute(QStringLiteral("nbr"), lane);
    Append_Child_Text(item, "elapsed_time", elapsed_time);
    Append_Child_Text(item, "delta_time", delta_time);
    Append_Child_Text(item, "place", place);
    Append_Child_Text(item, "video_file", QStringLiteral(" "));
    Append_Child_Text(item, "video_frame", QStringLiteral(" "));
  });
}

void Class_Quaymark_result_XML::xCreate_Participant_Node(
    const QString& id, const QString& participant, const QString& elapsed_time,
    const QString& /*delta_time*/, const QString& video_file, const QString& video_frame) {
  Trapped(Where_Class("xCreate_Participant_Node", Cls), [&] {
    Xml_Node r =
        Need_Node(m_Doc, QStringLiteral("//result[@id=") + XPath_Literal(id) + QStringLiteral("]"));
    Xml_Node item = r.Append_Element(QStringLiteral("item"));
    item.Set_Attribute(QStringLiteral("nbr"), participant);
    Append_Child_Text(item, "elapsed_time", elapsed_time);
    Append_Child_Text(item, "video_file", video_file);
    Append_Child_Text(item, "video_frame", video_frame);
  });
}

void Class_Quaymark_result_XML::Set_Comment(const QString& text) {
  Trapped(Where_Class("Set_Comment", Cls), [&] { m_Doc.Append_Comment(text); });
}

}  // namespace qm

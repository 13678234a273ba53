#include "capture_file/xml_header.h"

#include "build_info.h"
#include "platform/date_time.h"
#include "platform/failure.h"
#include "shell/app_globals.h"

#include <QSysInfo>

#include <cmath>

namespace qm {

namespace {

const char* const kClass = "Cls_XML_header";
const QString kCrLf = QStringLiteral("\r\n");

QString Num(int64_t v) {
  return QString::number(v);
}

// A record's path piece: "//heat_record[@id='" + h + "']".
QString Rec(const char* name, int id) {
  return QStringLiteral("//%1[@id='%2']").arg(QLatin1String(name)).arg(id);
}
QString Heat(int h) {
  return Rec("heat_record", h);
}
QString Lane(int h, int l) {
  return Heat(h) + QStringLiteral("//lane_record[@id='%1']").arg(l);
}
QString Stream(int s) {
  return Rec("stream_header", s);
}

QString True_False(bool v) {
  return v ? QStringLiteral("True") : QStringLiteral("False");
}

// Appends an element with its text, then the line break that separates elements.
Xml_Node Add(Xml_Node parent, const QString& name, const QString& text = {}) {
  Xml_Node e = parent.Append_Element(name);
  if (!text.isEmpty()) e.Set_Text(text);
  parent.Append_Text(kCrLf);
  return e;
}
Xml_Node Add(Xml_Node parent, const char* name, const char* text) {
  return Add(parent, QString::fromLatin1(name), QString::fromLatin1(text));
}
// A container: filled by `fill`, then closed with its line break.
template <class F>
void Add_Record(Xml_Node parent, const char* name, int id, F&& fill) {
  Xml_Node e = parent.Append_Element(QString::fromLatin1(name));
  if (id >= 0) e.Set_Attribute(QStringLiteral("id"), Num(id));
  fill(e);
  parent.Append_Text(kCrLf);
}

// The numeric value of the text's leading number, as a Basic Val() gives it.
double Leading_Number(const QString& text) {
  QString digits;
  qsizetype i = 0;
  while (i < text.size() && (text.at(i) == QLatin1Char(' ') || text.at(i) == QLatin1Char('\t')))
    ++i;
  if (i < text.size() && (text.at(i) == QLatin1Char('-') || text.at(i) == QLatin1Char('+')))
    digits += text.at(i++);
  bool any = false, point = false;
  for (; i < text.size(); ++i) {
    const QChar c = text.at(i);
    if (c.isDigit() && c.unicode() < 128) {
      digits += c;
      any = true;
    } else if (c == QLatin1Char('.') && !point) {
      digits += c;
      point = true;
    } else {
      break;
    }
  }
  if (!any) return 0;
  if (any && i + 1 < text.size() &&
      (text.at(i) == QLatin1Char('e') || text.at(i) == QLatin1Char('E'))) {
    qsizetype j = i + 1;
    QString exp = QStringLiteral("e");
    if (text.at(j) == QLatin1Char('-') || text.at(j) == QLatin1Char('+')) exp += text.at(j++);
    bool exp_digits = false;
    while (j < text.size() && text.at(j).isDigit() && text.at(j).unicode() < 128) {
      exp += text.at(j++);
      exp_digits = true;
    }
    if (exp_digits) digits += exp;
  }
  return digits.toDouble();
}

}  // namespace

// ------------------------------------------------------------- identity

Cls_XML_header::Header_Origin Cls_XML_header::Header_Origin::Current() {
  Header_Origin o;
  o.created = Now();
  const App_Globals& g = app();
  o.computer = g.Computer_Name.isEmpty() ? QSysInfo::machineHostName() : g.Computer_Name;
  o.program = g.Product_Name.isEmpty() ? QStringLiteral("Quaymark, Free version") : g.Product_Name;
  o.major = Num(QM_VERSION_MAJOR);
  o.minor = Num(QM_VERSION_MINOR);
  o.revision = Num(QM_VERSION_PATCH);
  o.os_version = QSysInfo::prettyProductName();
  return o;
}

Cls_XML_header::Cls_XML_header() = default;

// ------------------------------------------------------------- document

// The file stores one byte a character whatever the declaration says, so a
// header loaded without one must still give its length in stored bytes.
QString Cls_XML_header::XML_string() const {
  return With_Char_Refs(dom_.Xml());
}

void Cls_XML_header::Set_XML_string(const QString& text) {
  Trapped(Where_Class("XML_string", kClass), [&] {
    m_Loaded_text = text;
    m_Valid = false;
    m_Valid = dom_.Parse(text).Ok();
  });
}

int16_t Cls_XML_header::XML_len() const {
  return Checked_Int16(XML_string().size());
}

bool Cls_XML_header::is_Quaymark() const {
  return m_Loaded_text.contains(QLatin1String("Quaymark")) ||
         m_Loaded_text.contains(QLatin1String("quaymark"));
}

QString Cls_XML_header::Bool_to_XML_string(bool value) {
  return value ? QStringLiteral("t") : QStringLiteral("f");
}

bool Cls_XML_header::XML_string_to_Bool(const QString& text) {
  return text == QLatin1String("t");
}

void Cls_XML_header::Create_Header() {
  Create_Header(Header_Origin::Current());
}

void Cls_XML_header::Create_Header(const Header_Origin& origin) {
  Trapped(Where_Class("Create_Header", kClass), [&] {
    dom_.Clear();
    dom_.Append_Declaration(Xml_Encoding::Latin1);
    dom_.Append_Comment(QStringLiteral("XML file containing KVS DV header"));
    Xml_Node root = dom_.Append_Element(QStringLiteral("KVS_header"));
    Build_File_Data(root, origin);
    if (Golfing) Build_Golf(root);
    if (Quaymark) Build_Quaymark(root);
    if (Houndlog) Build_Houndlog(root);
    Build_Traces(root);
    (void)XML_string();
  });
}

void Cls_XML_header::Build_File_Data(Xml_Node root, const Header_Origin& o) {
  Trapped(Where_Class("Build_File_Data", kClass), [&] {
    Add_Record(root, "file_data", -1, [&](Xml_Node f) {
      Add(f, "update_program", "program name");
      Add(f, QStringLiteral("creation_date"),
          o.created.toString(QStringLiteral("yy-MM-dd HH:mm:ss")));
      Add(f, "update_date", "not updated");
      Add(f, "last_capture_time", "");
      Add(f, "num_streams", "1");
      Add(f, "frame_header_size", "000");
      Add(f, "num_frames", "000");
      Add(f, "timing_bias", "000");
      Add(f, "b_rotated", "f");
      Add(f, QStringLiteral("comp_name"), o.computer);
      Add(f, QStringLiteral("prog_id"), o.program);
      Add(f, "prog_version", "Compiled");
      Add(f, QStringLiteral("prog_major"), o.major);
      Add(f, QStringLiteral("prog_minor"), o.minor);
      Add(f, QStringLiteral("prog_revision"), o.revision);
      Add(f, QStringLiteral("os_version"), o.os_version);
      Add(f, "subject_name", "0000");
      for (int i = 1; i <= 5; ++i)
        Add(f, QStringLiteral("file_comment%1").arg(i), QStringLiteral("0000"));
      Add(f, "specapp1", "");
      Add(f, "specapp2", "");
      for (int i = 1; i <= 5; ++i)
        Add(f, QStringLiteral("hdr_spare%1").arg(i), QStringLiteral("0000"));
      for (int s = 1; s <= 2; ++s) Build_Stream_Header(f, s);
    });
  });
}

void Cls_XML_header::Build_Stream_Header(Xml_Node parent, int id) {
  Trapped(Where_Class("Build_Stream_Header", kClass), [&] {
    Add_Record(parent, "stream_header", id, [&](Xml_Node s) {
      Add(s, "b_stream_active", "f");
      Add(s, "b_stream_rotated", "f");
      Add(s, "stream_type", "xxx");
      Add(s, "offset_fields", "000");
      Add(s, "sel_start", "000");
      Add(s, "sel_end", "000");
      Add(s, "camera_pos", "xxxxx");
      Add(s, "b_model_active", "f");
      Add(s, "model_filename", "xxx");
      Add(s, "model_speed", "999");
      for (const char* side : {"selrect_top", "selrect_bottom", "selrect_left", "selrect_right"})
        Add(s, side, "000");
      Add(s, "model_file", "000");
      Add(s, "b_model_flipped", "f");
      for (const char* n : {"model_x_offset", "model_y_offset", "model_size_factor", "camera_ID"})
        Add(s, n, "000");
      for (int i = 1; i <= 5; ++i)
        Add(s, QStringLiteral("stream_spare%1").arg(i), QStringLiteral("000"));
    });
  });
}

void Cls_XML_header::Build_Quaymark(Xml_Node root) {
  Trapped(Where_Class("Build_Quaymark", kClass), [&] {
    Add_Record(root, "quaymark", -1, [&](Xml_Node q) {
      for (const char* n : {"goal_x_1", "goal_y_1", "goal_x_2", "goal_y_2"}) Add(q, n, "000");
      for (int l = 0; l <= 15; ++l) {
        Add(q, QStringLiteral("lane_x_%1").arg(l), QStringLiteral("000"));
        Add(q, QStringLiteral("lane_y_%1").arg(l), QStringLiteral("000"));
      }
      for (int c = 1; c <= 30; ++c) Create_Marathon_Class_Record(q, c);
      Add(q, "event_name", "nnn");
      Add(q, "b_lanes_visible", "t");
      Add(q, "b_lanes_flipped", "f");
      Add(q, "b_lanes_locked", "f");
      Add(q, "b_lanes_reversed", "f");
      Add(q, "num_lanes", "0");
      Add(q, "b_show_goalline", "f");
      Add(q, "num_heats", "5");
      Add(q, "start_lane", "1");
      for (int h = 1; h <= 5; ++h) Create_Heat_Record(q, h);
    });
  });
}

void Cls_XML_header::Create_Marathon_Class_Record(Xml_Node parent, int id) {
  Trapped(Where_Class("Create_Marathon_Class_Record", kClass), [&] {
    Add_Record(parent, "marathonclass", id, [&](Xml_Node c) {
      Add(c, "class_name", "");
      Add(c, "class_start", "");
    });
  });
}

void Cls_XML_header::Create_Heat_Record(Xml_Node parent, int id) {
  Trapped(Where_Class("Create_Heat_Record", kClass), [&] {
    Add_Record(parent, "heat_record", id, [&](Xml_Node h) {
      Add(h, "heat_ID", "");
      Add(h, "heat_comment", "");
      Add(h, "start_local_mill", "000");
      Add(h, "start_pc_mill", "000");
      Add(h, "heat_correction_mill", "000");
      for (int l = 0; l <= 15; ++l) Create_Lane_Record(h, l);
      // Closes the record; readers use the first heat_comment.
      Add(h, "heat_comment", "nnn");
    });
  });
}

void Cls_XML_header::Create_Lane_Record(Xml_Node parent, int id) {
  Trapped(Where_Class("Create_Lane_Record", kClass), [&] {
    Add_Record(parent, "lane_record", id, [&](Xml_Node l) {
      Add(l, "heat_time_mill", "000");
      Add(l, "click_time_mill", "000");
      Add(l, "goal_field", "000");
    });
  });
}

// The family's golf and dog-race sections; this program never asks for them
// (Golfing and Houndlog stay false), so they carry names only.
void Cls_XML_header::Build_Golf(Xml_Node root) {
  Trapped(Where_Class("Build_Golf", kClass), [&] {
    Add_Record(root, "golf", -1, [&](Xml_Node g) {
      for (const char* n : {"player_name", "venue_name", "player_comment"}) Add(g, n, "");
      Add_Record(g, "grade_record", 1, [&](Xml_Node r) {
        for (const char* n : {"b_grade_active", "graded_at", "slice_grade", "direction_grade",
                              "top_grade", "toe_grade", "club_used", "grade_comment"})
          Add(r, n, "");
      });
      for (const char* n : {"impact_field", "top_field", "b_has_weightdata", "trimmed_start_field",
                            "trimmed_end_field"})
        Add(g, n, "");
      Add_Record(g, "graph_objects", -1, [&](Xml_Node objs) {
        for (int i = 1; i <= 25; ++i)
          Add_Record(objs, "graph_object", i, [&](Xml_Node o) {
            for (const char* n : {"obj_type", "layer", "filled", "color", "linetype", "linewidth"})
              Add(o, n, "");
            for (int k = 1; k <= 6; ++k) {
              Add(o, QStringLiteral("x%1").arg(k));
              Add(o, QStringLiteral("y%1").arg(k));
            }
            Add(o, "spare1", "");
            Add(o, "spare2", "");
          });
      });
      Add_Record(g, "animated_file", -1, [&](Xml_Node a) {
        Add(a, "anp_file_name", "");
        Add(a, "anp_file_lines", "");
        for (int i = 1; i <= 150; ++i) Add_Record(a, "anp_line", i, [](Xml_Node) {});
      });
    });
  });
}

void Cls_XML_header::Build_Houndlog(Xml_Node root) {
  Trapped(Where_Class("Build_Houndlog", kClass), [&] {
    Add_Record(root, "houndlog", -1, [&](Xml_Node h) {
      for (const char* n : {"hound_event", "hound_heat_ID", "hound_heat_name", "hound_heat_length",
                            "hound_goal_finish", "hound_goal_split", "hound_start_datetime",
                            "hound_start_local_mill", "hound_start_PC_mill",
                            "hound_goal_time_offset", "hound_split_time_offset", "hound_box_delay",
                            "hound_split_firewire_ID", "hound_goal_firewire_ID", "hound_ph_serial"})
        Add(h, n, "");
      for (int i = 1; i <= 8; ++i)
        Add_Record(h, "box", i, [&](Xml_Node b) {
          for (const char* n :
               {"dog_name", "dog_weight", "dog_heat_time", "dog_heat_click_time", "dog_heat_frame",
                "dog_split_time", "dog_split_click_time", "dog_split_frame", "dog_heat_rank",
                "dog_split_rank", "dog_dead_heat", "dog_heat_spare1", "dog_heat_spare2"})
            Add(b, n, "");
        });
    });
  });
}

void Cls_XML_header::Build_Traces(Xml_Node root) {
  Trapped(Where_Class("Build_Traces", kClass), [&] {
    Add_Record(root, "traces", -1, [&](Xml_Node t) {
      Add(t, "num_traces", "10");
      for (int i = 1; i <= 10; ++i) Create_Traces_Record(t, i);
    });
  });
}

void Cls_XML_header::Create_Traces_Record(Xml_Node parent, int id) {
  Trapped(Where_Class("Create_Traces_Record", kClass), [&] {
    Add_Record(parent, "trace", id, [&](Xml_Node t) {
      Add(t, "trace_active", "f");
      Add(t, "trace_length", "000");
      Add(t, "trace_color", "0");
      Add(t, "trace_bezier", "f");
      Add(t, "trace_thickness", "1");
      Add(t, "trace_name", "noname");
    });
  });
}

// ------------------------------------------------------------- access

Xml_Node Cls_XML_header::Node(const QString& xpath) const {
  Xml_Node n = dom_.Select_Single_Node(xpath);
  if (!n) Raise(Err_Object_Missing);
  return n;
}

QString Cls_XML_header::Text_Of(const QString& xpath) const {
  return Node(xpath).Text();
}
void Cls_XML_header::Set_Text_Of(const QString& xpath, const QString& text) {
  Node(xpath).Set_Text(text);
}
int16_t Cls_XML_header::Int16_Of(const QString& xpath) const {
  return To_Int16(Text_Of(xpath));
}
int32_t Cls_XML_header::Int32_Of(const QString& xpath) const {
  return To_Int32(Text_Of(xpath));
}
bool Cls_XML_header::True_False_Of(const QString& xpath) const {
  return Text_Of(xpath) == QLatin1String("True");
}
void Cls_XML_header::Set_True_False_Of(const QString& xpath, bool value) {
  Set_Text_Of(xpath, True_False(value));
}

// --- file_data

QString Cls_XML_header::Update_Time() const {
  return Text_Of(QStringLiteral("//update_date"));
}
void Cls_XML_header::Set_Update_Time(const QString& t) {
  Set_Text_Of(QStringLiteral("//update_date"), t);
}
void Cls_XML_header::Set_Update_Program(const QString& t) {
  Set_Text_Of(QStringLiteral("//update_program"), t);
}
QString Cls_XML_header::Creation_Date() const {
  return Text_Of(QStringLiteral("//creation_date"));
}
void Cls_XML_header::Set_Creation_Date(const QString& t) {
  Set_Text_Of(QStringLiteral("//creation_date"), t);
}

QString Cls_XML_header::Last_Capture_time() const {
  const Xml_Node n = dom_.Select_Single_Node(QStringLiteral("//last_capture_time"));
  if (n) return n.Text();
  return Text_Of(QStringLiteral("//creation_date"));
}
void Cls_XML_header::Set_Last_Capture_time(const QString& t) {
  Set_Text_Of(QStringLiteral("//last_capture_time"), t);
}

QString Cls_XML_header::Comp_name() const {
  return Text_Of(QStringLiteral("//comp_name"));
}
QString Cls_XML_header::prog_id() const {
  return Text_Of(QStringLiteral("//prog_id"));
}
QString Cls_XML_header::Prog_Major() const {
  return Text_Of(QStringLiteral("//prog_major"));
}
QString Cls_XML_header::Prog_Minor() const {
  return Text_Of(QStringLiteral("//prog_minor"));
}
QString Cls_XML_header::Prog_Revision() const {
  return Text_Of(QStringLiteral("//prog_revision"));
}
QString Cls_XML_header::Prog_Version() const {
  return Text_Of(QStringLiteral("//prog_version"));
}
QString Cls_XML_header::OS_Version() const {
  return Text_Of(QStringLiteral("//os_version"));
}

int16_t Cls_XML_header::Streams_no() const {
  return Int16_Of(QStringLiteral("//num_streams"));
}
void Cls_XML_header::Set_Streams_no(int16_t v) {
  Set_Text_Of(QStringLiteral("//num_streams"), Num(v));
}
int16_t Cls_XML_header::Frames_no() const {
  return Int16_Of(QStringLiteral("//num_frames"));
}
void Cls_XML_header::Set_Frames_no(int16_t v) {
  Set_Text_Of(QStringLiteral("//num_frames"), Num(v));
}
int32_t Cls_XML_header::Timing_Bias() const {
  return Int32_Of(QStringLiteral("//timing_bias"));
}
void Cls_XML_header::Set_Timing_Bias(int32_t v) {
  Set_Text_Of(QStringLiteral("//timing_bias"), Num(v));
}

QString Cls_XML_header::SpecApp() const {
  const Xml_Node n = dom_.Select_Single_Node(QStringLiteral("//specapp1"));
  const QString t = n ? n.Text() : QString();
  return t.isEmpty() ? QStringLiteral("None") : t;
}
void Cls_XML_header::Set_SpecApp(const QString& t) {
  Set_Text_Of(QStringLiteral("//specapp1"), t);
}

// --- stream_header

bool Cls_XML_header::Stream_Active(int s) const {
  return XML_string_to_Bool(Text_Of(Stream(s) + QStringLiteral("/b_stream_active")));
}
void Cls_XML_header::Set_Stream_Active(int s, bool v) {
  Set_Text_Of(Stream(s) + QStringLiteral("/b_stream_active"), Bool_to_XML_string(v));
}
bool Cls_XML_header::Stream_rotated(int s) const {
  return XML_string_to_Bool(Text_Of(Stream(s) + QStringLiteral("/b_stream_rotated")));
}
void Cls_XML_header::Set_Stream_rotated(int s, bool v) {
  Set_Text_Of(Stream(s) + QStringLiteral("/b_stream_rotated"), Bool_to_XML_string(v));
}

int16_t Cls_XML_header::Stream_CameraPos(int s) const {
  const double v = Leading_Number(Text_Of(Stream(s) + QStringLiteral("/camera_pos")));
  if (!(v > -32768.5 && v < 32767.5)) Raise(Err_Overflow);
  // Half to even, as the conversion to a 16-bit integer rounds.
  return Checked_Int16(static_cast<int64_t>(std::nearbyint(v)));
}

namespace {
QString Side_Path(int s, QChar side) {
  const char* piece = nullptr;
  switch (side.unicode()) {
    case 't':
      piece = "/selrect_top";
      break;
    case 'b':
      piece = "/selrect_bottom";
      break;
    case 'l':
      piece = "/selrect_left";
      break;
    case 'r':
      piece = "/selrect_right";
      break;
    default:
      Raise(Err_Invalid_Call);
  }
  return Stream(s) + QLatin1String(piece);
}
}  // namespace

int16_t Cls_XML_header::Selection_Rectangle(int s, QChar side) const {
  return Int16_Of(Side_Path(s, side));
}
void Cls_XML_header::Set_Selection_Rectangle(int s, QChar side, int16_t v) {
  Set_Text_Of(Side_Path(s, side), Num(v));
}

// --- quaymark

Cls_XML_header::Goal_Line Cls_XML_header::Get_Goalline() const {
  Goal_Line g;
  g.x1 = Int16_Of(QStringLiteral("//goal_x_1"));
  g.y1 = Int16_Of(QStringLiteral("//goal_y_1"));
  g.x2 = Int16_Of(QStringLiteral("//goal_x_2"));
  g.y2 = Int16_Of(QStringLiteral("//goal_y_2"));
  return g;
}

void Cls_XML_header::Set_Goalline(int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
  // All four nodes first, so a header without one is left as it was.
  Xml_Node n[4] = {Node(QStringLiteral("//goal_x_1")), Node(QStringLiteral("//goal_y_1")),
                   Node(QStringLiteral("//goal_x_2")), Node(QStringLiteral("//goal_y_2"))};
  n[0].Set_Text(Num(x1));
  n[1].Set_Text(Num(y1));
  n[2].Set_Text(Num(x2));
  n[3].Set_Text(Num(y2));
}

void Cls_XML_header::Lane_pos(int l, int32_t x, int32_t y) {
  Xml_Node nx = Node(QStringLiteral("//lane_x_%1").arg(l));
  Xml_Node ny = Node(QStringLiteral("//lane_y_%1").arg(l));
  nx.Set_Text(Num(x));
  ny.Set_Text(Num(y));
}
int32_t Cls_XML_header::Lane_pos_X(int l) const {
  return Int32_Of(QStringLiteral("//lane_x_%1").arg(l));
}
int32_t Cls_XML_header::Lane_pos_Y(int l) const {
  return Int32_Of(QStringLiteral("//lane_y_%1").arg(l));
}

int16_t Cls_XML_header::Num_Lanes() const {
  return Int16_Of(QStringLiteral("//num_lanes"));
}
void Cls_XML_header::Set_Num_Lanes(int16_t v) {
  Set_Text_Of(QStringLiteral("//num_lanes"), Num(v));
}
int16_t Cls_XML_header::Start_lane() const {
  return Int16_Of(QStringLiteral("//start_lane"));
}
void Cls_XML_header::Set_Start_lane(int16_t v) {
  Set_Text_Of(QStringLiteral("//start_lane"), Num(v));
}
int16_t Cls_XML_header::heats_num() const {
  return Int16_Of(QStringLiteral("//num_heats"));
}
void Cls_XML_header::Set_heats_num(int16_t v) {
  Set_Text_Of(QStringLiteral("//num_heats"), Num(v));
}

QString Cls_XML_header::Event_name() const {
  return Text_Of(QStringLiteral("//quaymark/event_name"));
}
void Cls_XML_header::Set_Event_name(const QString& t) {
  Set_Text_Of(QStringLiteral("//event_name"), t);
}

bool Cls_XML_header::Lanes_Visible() const {
  const Xml_Node n = dom_.Select_Single_Node(QStringLiteral("//b_lanes_visible"));
  return n ? n.Text() == QLatin1String("True") : true;
}
void Cls_XML_header::Set_Lanes_Visible(bool v) {
  Set_True_False_Of(QStringLiteral("//b_lanes_visible"), v);
}
bool Cls_XML_header::Lanes_flipped() const {
  return True_False_Of(QStringLiteral("//b_lanes_flipped"));
}
void Cls_XML_header::Set_Lanes_flipped(bool v) {
  Set_True_False_Of(QStringLiteral("//b_lanes_flipped"), v);
}
bool Cls_XML_header::Lanes_locked() const {
  return True_False_Of(QStringLiteral("//b_lanes_locked"));
}
void Cls_XML_header::Set_Lanes_locked(bool v) {
  Set_True_False_Of(QStringLiteral("//b_lanes_locked"), v);
}
bool Cls_XML_header::Lanes_reversed() const {
  return True_False_Of(QStringLiteral("//b_lanes_reversed"));
}
void Cls_XML_header::Set_Lanes_reversed(bool v) {
  Set_True_False_Of(QStringLiteral("//b_lanes_reversed"), v);
}
bool Cls_XML_header::Show_goalline() const {
  return True_False_Of(QStringLiteral("//b_show_goalline"));
}
void Cls_XML_header::Set_Show_goalline(bool v) {
  Set_True_False_Of(QStringLiteral("//b_show_goalline"), v);
}

QString Cls_XML_header::Quaymark_Marathon_Class_Name(int c) const {
  return Text_Of(Rec("marathonclass", c) + QStringLiteral("/class_name"));
}
void Cls_XML_header::Set_Quaymark_Marathon_Class_Name(int c, const QString& t) {
  Set_Text_Of(Rec("marathonclass", c) + QStringLiteral("/class_name"), t);
}
QString Cls_XML_header::Quaymark_Marathon_Class_Start(int c) const {
  return Text_Of(Rec("marathonclass", c) + QStringLiteral("/class_start"));
}
void Cls_XML_header::Set_Quaymark_Marathon_Class_Start(int c, const QString& t) {
  Set_Text_Of(Rec("marathonclass", c) + QStringLiteral("/class_start"), t);
}

// --- heat_record

QString Cls_XML_header::Heat_ID(int h) const {
  const QString t = Text_Of(Heat(h) + QStringLiteral("/heat_ID"));
  return t == QLatin1String(" ") ? QString() : t;
}
void Cls_XML_header::Set_Heat_ID(int h, const QString& t) {
  Set_Text_Of(Heat(h) + QStringLiteral("/heat_ID"), t);
}
QString Cls_XML_header::Heat_comment(int h) const {
  return Text_Of(Heat(h) + QStringLiteral("/heat_comment"));
}
void Cls_XML_header::Set_Heat_comment(int h, const QString& t) {
  Set_Text_Of(Heat(h) + QStringLiteral("/heat_comment"), t);
}
int32_t Cls_XML_header::Start_local_mill(int h) const {
  return Int32_Of(Heat(h) + QStringLiteral("/start_local_mill"));
}
void Cls_XML_header::Set_Start_local_mill(int h, int32_t v) {
  Set_Text_Of(Heat(h) + QStringLiteral("/start_local_mill"), Num(v));
}
int32_t Cls_XML_header::Start_PC_mill(int h) const {
  return Int32_Of(Heat(h) + QStringLiteral("/start_pc_mill"));
}
void Cls_XML_header::Set_Start_PC_mill(int h, int32_t v) {
  Set_Text_Of(Heat(h) + QStringLiteral("/start_pc_mill"), Num(v));
}
int32_t Cls_XML_header::Heat_Correction_mill(int h) const {
  return Int32_Of(Heat(h) + QStringLiteral("/heat_correction_mill"));
}
void Cls_XML_header::Set_Heat_Correction_mill(int h, int32_t v) {
  Set_Text_Of(Heat(h) + QStringLiteral("/heat_correction_mill"), Num(v));
}

int32_t Cls_XML_header::Heat_result(int h, int l) const {
  return Int32_Of(Lane(h, l) + QStringLiteral("/heat_time_mill"));
}
void Cls_XML_header::Set_Heat_result(int h, int l, int32_t v) {
  Set_Text_Of(Lane(h, l) + QStringLiteral("/heat_time_mill"), Num(v));
}
int32_t Cls_XML_header::Heat_Click_time(int h, int l) const {
  return Int32_Of(Lane(h, l) + QStringLiteral("/click_time_mill"));
}
void Cls_XML_header::Set_Heat_Click_time(int h, int l, int32_t v) {
  Set_Text_Of(Lane(h, l) + QStringLiteral("/click_time_mill"), Num(v));
}
int32_t Cls_XML_header::Heat_Goal_Field(int h, int l) const {
  return Int32_Of(Lane(h, l) + QStringLiteral("/goal_field"));
}
void Cls_XML_header::Set_Heat_Goal_Field(int h, int l, int32_t v) {
  Set_Text_Of(Lane(h, l) + QStringLiteral("/goal_field"), Num(v));
}

}  // namespace qm

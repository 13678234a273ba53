#include "capture_file/xml_header.h"
#include "support/test_env.h"

#include <functional>
#include <vector>

namespace {

using Xml_Header_Test = qmtest::Test;
using qm::Cls_XML_header;

int32_t Raised(const std::function<void()>& f) {
  try {
    f();
  } catch (const qm::Failure& e) {
    return e.number;
  }
  return 0;
}

Cls_XML_header::Header_Origin Fixed_Origin() {
  Cls_XML_header::Header_Origin o;
  o.created = QDateTime(QDate(2026, 5, 17), QTime(9, 4, 3));
  o.computer = QStringLiteral("finish-pc");
  o.program = QStringLiteral("Quaymark, Free version");
  o.major = QStringLiteral("1");
  o.minor = QStringLiteral("0");
  o.revision = QStringLiteral("0");
  o.os_version = QStringLiteral("Debian GNU/Linux 12 (bookworm)");
  return o;
}

// The new header written out by hand: every element followed by CR LF, no
// indentation, records numbered by their id attribute.
QString Hand_Built_Header() {
  QString s;
  auto el = [&](const QString& name, const QString& text) {
    s += text.isEmpty() ? QStringLiteral("<%1/>").arg(name)
                        : QStringLiteral("<%1>%2</%1>").arg(name, text);
    s += QStringLiteral("\r\n");
  };
  auto open = [&](const QString& name, int id) {
    s += id < 0 ? QStringLiteral("<%1>").arg(name)
                : QStringLiteral("<%1 id=\"%2\">").arg(name).arg(id);
  };
  auto close = [&](const QString& name) { s += QStringLiteral("</%1>\r\n").arg(name); };
  const QString f = QStringLiteral("f"), z3 = QStringLiteral("000"), z4 = QStringLiteral("0000");

  s += QStringLiteral("<?xml version=\"1.0\" encoding=\"iso-8859-1\"?>\r\n");
  s += QStringLiteral("<!--XML file containing KVS DV header-->\r\n");
  s += QStringLiteral("<KVS_header>");
  open(QStringLiteral("file_data"), -1);
  el(QStringLiteral("update_program"), QStringLiteral("program name"));
  el(QStringLiteral("creation_date"), QStringLiteral("26-05-17 09:04:03"));
  el(QStringLiteral("update_date"), QStringLiteral("not updated"));
  el(QStringLiteral("last_capture_time"), QString());
  el(QStringLiteral("num_streams"), QStringLiteral("1"));
  el(QStringLiteral("frame_header_size"), z3);
  el(QStringLiteral("num_frames"), z3);
  el(QStringLiteral("timing_bias"), z3);
  el(QStringLiteral("b_rotated"), f);
  el(QStringLiteral("comp_name"), QStringLiteral("finish-pc"));
  el(QStringLiteral("prog_id"), QStringLiteral("Quaymark, Free version"));
  el(QStringLiteral("prog_version"), QStringLiteral("Compiled"));
  el(QStringLiteral("prog_major"), QStringLiteral("1"));
  el(QStringLiteral("prog_minor"), QStringLiteral("0"));
  el(QStringLiteral("prog_revision"), QStringLiteral("0"));
  el(QStringLiteral("os_version"), QStringLiteral("Debian GNU/Linux 12 (bookworm)"));
  el(QStringLiteral("subject_name"), z4);
  for (int i = 1; i <= 5; ++i) el(QStringLiteral("file_comment") + QString::number(i), z4);
  el(QStringLiteral("specapp1"), QString());
  el(QStringLiteral("specapp2"), QString());
  for (int i = 1; i <= 5; ++i) el(QStringLiteral("hdr_spare") + QString::number(i), z4);
  for (int id = 1; id <= 2; ++id) {
    open(QStringLiteral("stream_header"), id);
    el(QStringLiteral("b_stream_active"), f);
    el(QStringLiteral("b_stream_rotated"), f);
    el(QStringLiteral("stream_type"), QStringLiteral("xxx"));
    el(QStringLiteral("offset_fields"), z3);
    el(QStringLiteral("sel_start"), z3);
    el(QStringLiteral("sel_end"), z3);
    el(QStringLiteral("camera_pos"), QStringLiteral("xxxxx"));
    el(QStringLiteral("b_model_active"), f);
    el(QStringLiteral("model_filename"), QStringLiteral("xxx"));
    el(QStringLiteral("model_speed"), QStringLiteral("999"));
    el(QStringLiteral("selrect_top"), z3);
    el(QStringLiteral("selrect_bottom"), z3);
    el(QStringLiteral("selrect_left"), z3);
    el(QStringLiteral("selrect_right"), z3);
    el(QStringLiteral("model_file"), z3);
    el(QStringLiteral("b_model_flipped"), f);
    el(QStringLiteral("model_x_offset"), z3);
    el(QStringLiteral("model_y_offset"), z3);
    el(QStringLiteral("model_size_factor"), z3);
    el(QStringLiteral("camera_ID"), z3);
    for (int i = 1; i <= 5; ++i) el(QStringLiteral("stream_spare") + QString::number(i), z3);
    close(QStringLiteral("stream_header"));
  }
  close(QStringLiteral("file_data"));

  open(QStringLiteral("quaymark"), -1);
  el(QStringLiteral("goal_x_1"), z3);
  el(QStringLiteral("goal_y_1"), z3);
  el(QStringLiteral("goal_x_2"), z3);
  el(QStringLiteral("goal_y_2"), z3);
  for (int l = 0; l <= 15; ++l) {
    el(QStringLiteral("lane_x_") + QString::number(l), z3);
    el(QStringLiteral("lane_y_") + QString::number(l), z3);
  }
  for (int c = 1; c <= 30; ++c) {
    open(QStringLiteral("marathonclass"), c);
    el(QStringLiteral("class_name"), QString());
    el(QStringLiteral("class_start"), QString());
    close(QStringLiteral("marathonclass"));
  }
  el(QStringLiteral("event_name"), QStringLiteral("nnn"));
  el(QStringLiteral("b_lanes_visible"), QStringLiteral("t"));
  el(QStringLiteral("b_lanes_flipped"), f);
  el(QStringLiteral("b_lanes_locked"), f);
  el(QStringLiteral("b_lanes_reversed"), f);
  el(QStringLiteral("num_lanes"), QStringLiteral("0"));
  el(QStringLiteral("b_show_goalline"), f);
  el(QStringLiteral("num_heats"), QStringLiteral("5"));
  el(QStringLiteral("start_lane"), QStringLiteral("1"));
  for (int h = 1; h <= 5; ++h) {
    open(QStringLiteral("heat_record"), h);
    el(QStringLiteral("heat_ID"), QString());
    el(QStringLiteral("heat_comment"), QString());
    el(QStringLiteral("start_local_mill"), z3);
    el(QStringLiteral("start_pc_mill"), z3);
    el(QStringLiteral("heat_correction_mill"), z3);
    for (int l = 0; l <= 15; ++l) {
      open(QStringLiteral("lane_record"), l);
      el(QStringLiteral("heat_time_mill"), z3);
      el(QStringLiteral("click_time_mill"), z3);
      el(QStringLiteral("goal_field"), z3);
      close(QStringLiteral("lane_record"));
    }
    el(QStringLiteral("heat_comment"), QStringLiteral("nnn"));
    close(QStringLiteral("heat_record"));
  }
  close(QStringLiteral("quaymark"));

  open(QStringLiteral("traces"), -1);
  el(QStringLiteral("num_traces"), QStringLiteral("10"));
  for (int t = 1; t <= 10; ++t) {
    open(QStringLiteral("trace"), t);
    el(QStringLiteral("trace_active"), f);
    el(QStringLiteral("trace_length"), z3);
    el(QStringLiteral("trace_color"), QStringLiteral("0"));
    el(QStringLiteral("trace_bezier"), f);
    el(QStringLiteral("trace_thickness"), QStringLiteral("1"));
    el(QStringLiteral("trace_name"), QStringLiteral("noname"));
    close(QStringLiteral("trace"));
  }
  close(QStringLiteral("traces"));
  s += QStringLiteral("</KVS_header>\r\n");
  return s;
}

TEST_F(Xml_Header_Test, CreateHeaderBuildsEveryElementInOrderWithItsDefault) {
  Cls_XML_header h;
  h.Create_Header(Fixed_Origin());
  const QString built = h.XML_string();
  const QString expected = Hand_Built_Header();
  if (built != expected) {
    // Point at the first difference rather than print 25 kB twice.
    qsizetype i = 0;
    while (i < built.size() && i < expected.size() && built[i] == expected[i]) ++i;
    FAIL() << "first difference at " << i
           << ":\n built:    " << built.mid(qMax<qsizetype>(0, i - 60), 120).toStdString()
           << "\n expected: " << expected.mid(qMax<qsizetype>(0, i - 60), 120).toStdString();
  }
  Expect_No_Reports();

  // The defaults as the properties give them.
  EXPECT_EQ(h.Streams_no(), 1);
  EXPECT_EQ(h.Frames_no(), 0);
  EXPECT_EQ(h.Num_Lanes(), 0);
  EXPECT_EQ(h.Start_lane(), 1);
  EXPECT_EQ(h.heats_num(), 5);
  EXPECT_EQ(h.Event_name(), QStringLiteral("nnn"));
  EXPECT_EQ(h.Heat_comment(5), QString()) << "the first heat_comment, not the closing one";
  EXPECT_EQ(h.Heat_result(5, 15), 0);
  EXPECT_EQ(h.Stream_CameraPos(2), 0) << "\"xxxxx\" holds no number";
  EXPECT_FALSE(h.Lanes_Visible()) << "created as \"t\", which is not \"True\"";
  EXPECT_FALSE(h.Stream_Active(1));
  EXPECT_EQ(h.Last_Capture_time(), QString()) << "present and empty: no fallback";
  EXPECT_EQ(h.SpecApp(), QStringLiteral("None"));
  EXPECT_EQ(h.Quaymark_Marathon_Class_Name(30), QString());
  EXPECT_EQ(Raised([&] { (void)h.Heat_ID(6); }), qm::Err_Object_Missing);

  // A second Create_Header replaces the tree rather than adding to it.
  h.Set_Num_Lanes(8);
  h.Create_Header(Fixed_Origin());
  EXPECT_EQ(h.XML_string(), expected);
}

TEST_F(Xml_Header_Test, CreateHeaderOfThisComputerAndProgram) {
  Cls_XML_header h;
  h.Create_Header();
  Expect_No_Reports();
  EXPECT_TRUE(h.XML_string().contains(QStringLiteral("<prog_id>Quaymark, Free version</prog_id>")));
  EXPECT_FALSE(h.Comp_name().isEmpty());
  EXPECT_TRUE(
      QDateTime::fromString(h.Creation_Date(), QStringLiteral("yy-MM-dd HH:mm:ss")).isValid())
      << h.Creation_Date().toStdString();
}

// One numeric property: how to write it, how to read it, where it lives.
struct Numeric {
  const char* name;
  QString xpath;
  std::function<void(Cls_XML_header&, int32_t)> set;
  std::function<int32_t(const Cls_XML_header&)> get;
  bool wide;  // 32-bit
};

std::vector<Numeric> Numeric_Properties() {
  using H = Cls_XML_header;
  return {
      {"Streams_no", "//num_streams", [](H& h, int32_t v) { h.Set_Streams_no(int16_t(v)); },
       [](const H& h) { return h.Streams_no(); }, false},
      {"Frames_no", "//num_frames", [](H& h, int32_t v) { h.Set_Frames_no(int16_t(v)); },
       [](const H& h) { return h.Frames_no(); }, false},
      {"Num_Lanes", "//num_lanes", [](H& h, int32_t v) { h.Set_Num_Lanes(int16_t(v)); },
       [](const H& h) { return h.Num_Lanes(); }, false},
      {"Start_lane", "//start_lane", [](H& h, int32_t v) { h.Set_Start_lane(int16_t(v)); },
       [](const H& h) { return h.Start_lane(); }, false},
      {"Selection_Rectangle(2,b)", "//stream_header[@id='2']/selrect_bottom",
       [](H& h, int32_t v) { h.Set_Selection_Rectangle(2, QLatin1Char('b'), int16_t(v)); },
       [](const H& h) { return h.Selection_Rectangle(2, QLatin1Char('b')); }, false},
      {"Lane_pos_X(15)", "//lane_x_15", [](H& h, int32_t v) { h.Lane_pos(15, v, 7); },
       [](const H& h) { return h.Lane_pos_X(15); }, true},
      {"Lane_pos_Y(0)", "//lane_y_0", [](H& h, int32_t v) { h.Lane_pos(0, 7, v); },
       [](const H& h) { return h.Lane_pos_Y(0); }, true},
      {"Start_local_mill(1)", "//heat_record[@id='1']/start_local_mill",
       [](H& h, int32_t v) { h.Set_Start_local_mill(1, v); },
       [](const H& h) { return h.Start_local_mill(1); }, true},
      {"Start_PC_mill(5)", "//heat_record[@id='5']/start_pc_mill",
       [](H& h, int32_t v) { h.Set_Start_PC_mill(5, v); },
       [](const H& h) { return h.Start_PC_mill(5); }, true},
      {"Heat_Correction_mill(1)", "//heat_record[@id='1']/heat_correction_mill",
       [](H& h, int32_t v) { h.Set_Heat_Correction_mill(1, v); },
       [](const H& h) { return h.Heat_Correction_mill(1); }, true},
      {"Heat_result(1,7)", "//heat_record[@id='1']//lane_record[@id='7']/heat_time_mill",
       [](H& h, int32_t v) { h.Set_Heat_result(1, 7, v); },
       [](const H& h) { return h.Heat_result(1, 7); }, true},
      {"Heat_Click_time(2,0)", "//heat_record[@id='2']//lane_record[@id='0']/click_time_mill",
       [](H& h, int32_t v) { h.Set_Heat_Click_time(2, 0, v); },
       [](const H& h) { return h.Heat_Click_time(2, 0); }, true},
      {"Heat_Goal_Field(1,15)", "//heat_record[@id='1']//lane_record[@id='15']/goal_field",
       [](H& h, int32_t v) { h.Set_Heat_Goal_Field(1, 15, v); },
       [](const H& h) { return h.Heat_Goal_Field(1, 15); }, true},
  };
}

TEST_F(Xml_Header_Test, NumericPropertiesWriteDecimalTextAndReadItBack) {
  for (const Numeric& p : Numeric_Properties()) {
    Cls_XML_header h;
    h.Create_Header(Fixed_Origin());
    const int32_t value = p.wide ? -2000000000 : -32768;
    p.set(h, value);
    EXPECT_EQ(h.DOM().Select_Single_Node(p.xpath).Text(), QString::number(value)) << p.name;
    EXPECT_EQ(p.get(h), value) << p.name;
    p.set(h, p.wide ? 2147483647 : 32767);
    EXPECT_EQ(p.get(h), p.wide ? 2147483647 : 32767) << p.name;
  }
  Expect_No_Reports();
}

TEST_F(Xml_Header_Test, NumericReadsFailOnNonNumbersOutOfRangeAndMissingNodes) {
  struct Text_Case {
    const char* text;
    int32_t err16, err32;
  };
  const std::vector<Text_Case> texts = {
      {"nnn", qm::Err_Type_Mismatch, qm::Err_Type_Mismatch},
      {"", qm::Err_Type_Mismatch, qm::Err_Type_Mismatch},
      {"32768", qm::Err_Overflow, 0},
      {"-32769", qm::Err_Overflow, 0},
      {"2147483648", qm::Err_Overflow, qm::Err_Overflow},
      {" 12 ", 0, 0},
  };
  for (const Numeric& p : Numeric_Properties()) {
    for (const Text_Case& t : texts) {
      Cls_XML_header h;
      h.Create_Header(Fixed_Origin());
      h.DOM().Select_Single_Node(p.xpath).Set_Text(QString::fromLatin1(t.text));
      EXPECT_EQ(Raised([&] { (void)p.get(h); }), p.wide ? t.err32 : t.err16)
          << p.name << " \"" << t.text << "\"";
    }
    Cls_XML_header h;
    h.Create_Header(Fixed_Origin());
    qm::Xml_Node n = h.DOM().Select_Single_Node(p.xpath);
    n.Parent().Remove_Child(n);
    EXPECT_EQ(Raised([&] { (void)p.get(h); }), qm::Err_Object_Missing) << p.name;
    EXPECT_EQ(Raised([&] { p.set(h, 1); }), qm::Err_Object_Missing) << p.name;
  }

  // The goal line: written from 32-bit values, read as 16-bit numbers.
  Cls_XML_header h;
  h.Create_Header(Fixed_Origin());
  h.Set_Goalline(10, 20, 700, 560);
  const Cls_XML_header::Goal_Line g = h.Get_Goalline();
  EXPECT_EQ((std::vector<int>{g.x1, g.y1, g.x2, g.y2}), (std::vector<int>{10, 20, 700, 560}));
  h.Set_Goalline(10, 20, 70000, 560);
  EXPECT_EQ(h.DOM().Select_Single_Node(QStringLiteral("//goal_x_2")).Text(),
            QStringLiteral("70000"));
  EXPECT_EQ(Raised([&] { (void)h.Get_Goalline(); }), qm::Err_Overflow);
}

TEST_F(Xml_Header_Test, ReadFailureIsReportedByTheCallingProcedure) {
  Cls_XML_header h;
  h.Set_XML_string(QStringLiteral("<KVS_header><oops></KVS_header>"));
  EXPECT_FALSE(h.Valid());
  EXPECT_TRUE(h.DOM().Is_Empty());
  EXPECT_TRUE(reports.empty()) << "a text that does not parse is not reported when loaded";

  const QString where = qm::Where_Class("Open_File", "cls_AVI_handler");
  const int16_t lanes = qm::Trapped(where, int16_t(-1), [&] {
    qm::Line(30);
    return h.Num_Lanes();
  });
  EXPECT_EQ(lanes, -1);
  ASSERT_EQ(reports.size(), 1u);
  EXPECT_EQ(reports[0].errproc, where);
  EXPECT_EQ(reports[0].errnum, qm::Err_Object_Missing);
  EXPECT_EQ(reports[0].errline, 30);
}

TEST_F(Xml_Header_Test, BooleanNotations) {
  using H = Cls_XML_header;
  struct Switch {
    const char* name;
    QString xpath;
    std::function<bool(const H&)> get;
    std::function<void(H&, bool)> set;
  };
  const std::vector<Switch> lane_switches = {
      {"Lanes_Visible", "//b_lanes_visible", [](const H& h) { return h.Lanes_Visible(); },
       [](H& h, bool v) { h.Set_Lanes_Visible(v); }},
      {"Lanes_flipped", "//b_lanes_flipped", [](const H& h) { return h.Lanes_flipped(); },
       [](H& h, bool v) { h.Set_Lanes_flipped(v); }},
      {"Lanes_locked", "//b_lanes_locked", [](const H& h) { return h.Lanes_locked(); },
       [](H& h, bool v) { h.Set_Lanes_locked(v); }},
      {"Lanes_reversed", "//b_lanes_reversed", [](const H& h) { return h.Lanes_reversed(); },
       [](H& h, bool v) { h.Set_Lanes_reversed(v); }},
      {"Show_goalline", "//b_show_goalline", [](const H& h) { return h.Show_goalline(); },
       [](H& h, bool v) { h.Set_Show_goalline(v); }},
  };
  const std::vector<Switch> stream_switches = {
      {"Stream_Active(2)", "//stream_header[@id='2']/b_stream_active",
       [](const H& h) { return h.Stream_Active(2); },
       [](H& h, bool v) { h.Set_Stream_Active(2, v); }},
      {"Stream_rotated(1)", "//stream_header[@id='1']/b_stream_rotated",
       [](const H& h) { return h.Stream_rotated(1); },
       [](H& h, bool v) { h.Set_Stream_rotated(1, v); }},
  };
  struct Reading {
    const char* text;
    bool lane, stream;
  };
  const std::vector<Reading> readings = {
      {"True", true, false}, {"t", false, true},      {"False", false, false},
      {"f", false, false},   {"true", false, false},  {"T", false, false},
      {"", false, false},    {" True", false, false}, {"-1", false, false},
  };
  auto check = [&](const Switch& s, bool lane) {
    H h;
    h.Create_Header(Fixed_Origin());
    for (const Reading& r : readings) {
      h.DOM().Select_Single_Node(s.xpath).Set_Text(QString::fromLatin1(r.text));
      EXPECT_EQ(s.get(h), lane ? r.lane : r.stream) << s.name << " \"" << r.text << "\"";
    }
    s.set(h, true);
    EXPECT_EQ(h.DOM().Select_Single_Node(s.xpath).Text(),
              lane ? QStringLiteral("True") : QStringLiteral("t"))
        << s.name;
    EXPECT_TRUE(s.get(h)) << s.name;
    s.set(h, false);
    EXPECT_EQ(h.DOM().Select_Single_Node(s.xpath).Text(),
              lane ? QStringLiteral("False") : QStringLiteral("f"))
        << s.name;
    EXPECT_FALSE(s.get(h)) << s.name;
    qm::Xml_Node n = h.DOM().Select_Single_Node(s.xpath);
    n.Parent().Remove_Child(n);
    if (QLatin1String(s.name) == QLatin1String("Lanes_Visible")) {
      EXPECT_TRUE(s.get(h)) << "markers shown when the header does not say";
    } else {
      EXPECT_EQ(Raised([&] { (void)s.get(h); }), qm::Err_Object_Missing) << s.name;
    }
  };
  for (const Switch& s : lane_switches) check(s, true);
  for (const Switch& s : stream_switches) check(s, false);
}

TEST_F(Xml_Header_Test, TextPropertiesAndTheirExceptions) {
  Cls_XML_header h;
  h.Set_XML_string(
      QStringLiteral("<KVS_header><file_data><creation_date>26-05-17 09:04:03</creation_date>"
                     "<update_date>x</update_date><update_program>p</update_program>"
                     "<specapp1>golfpro</specapp1></file_data>"
                     "<golf><event_name>golf event</event_name></golf>"
                     "<quaymark><event_name>Regatta</event_name>"
                     "<heat_record id=\"1\"><heat_ID> </heat_ID><heat_comment>first</heat_comment>"
                     "<heat_comment>nnn</heat_comment></heat_record>"
                     "<heat_record id=\"2\"><heat_ID>  </heat_ID></heat_record>"
                     "<heat_record id=\"3\"><heat_ID>A 1</heat_ID></heat_record>"
                     "</quaymark></KVS_header>"));
  ASSERT_TRUE(h.Valid());

  // last_capture_time missing: the creation date stands in.
  EXPECT_EQ(h.Last_Capture_time(), QStringLiteral("26-05-17 09:04:03"));
  EXPECT_EQ(h.SpecApp(), QStringLiteral("golfpro"));

  // A single space is no heat name; other texts stay as they are.
  EXPECT_EQ(h.Heat_ID(1), QString());
  EXPECT_EQ(h.Heat_ID(2), QStringLiteral("  "));
  EXPECT_EQ(h.Heat_ID(3), QStringLiteral("A 1"));

  // Reading and writing heat_comment touch the first one only.
  EXPECT_EQ(h.Heat_comment(1), QStringLiteral("first"));
  h.Set_Heat_comment(1, QStringLiteral("changed"));
  EXPECT_TRUE(h.XML_string().contains(
      QStringLiteral("<heat_comment>changed</heat_comment><heat_comment>nnn</heat_comment>")));

  // The event name is read inside quaymark but written to the first in the document.
  EXPECT_EQ(h.Event_name(), QStringLiteral("Regatta"));
  h.Set_Event_name(QStringLiteral("Sprint"));
  EXPECT_EQ(h.Event_name(), QStringLiteral("Regatta"));
  EXPECT_EQ(h.DOM().Select_Single_Node(QStringLiteral("//golf/event_name")).Text(),
            QStringLiteral("Sprint"));

  h.Set_Update_Time(QStringLiteral("17.05.2026 10:00:00"));
  h.Set_Update_Program(QStringLiteral("Quaymark, Free version"));
  EXPECT_EQ(h.Update_Time(), QStringLiteral("17.05.2026 10:00:00"));
  EXPECT_TRUE(h.XML_string().contains(
      QStringLiteral("<update_program>Quaymark, Free version</update_program>")));
  EXPECT_EQ(Raised([&] { h.Set_Last_Capture_time(QStringLiteral("t")); }), qm::Err_Object_Missing)
      << "the fallback is for reading only";
  Expect_No_Reports();
}

TEST_F(Xml_Header_Test, CameraPositionIsTheLeadingNumberRounded) {
  struct Case {
    const char* text;
    int16_t value;
    int32_t err;
  };
  const std::vector<Case> cases = {
      {"12", 12, 0},
      {"  7 left", 7, 0},
      {"12.5", 12, 0},
      {"13.5", 14, 0},
      {"-3.2", -3, 0},
      {"xxxxx", 0, 0},
      {"", 0, 0},
      {"1e2", 100, 0},
      {".5x", 0, 0},
      {"32767.4", 32767, 0},
      {"40000", 0, qm::Err_Overflow},
  };
  Cls_XML_header h;
  h.Create_Header(Fixed_Origin());
  qm::Xml_Node n =
      h.DOM().Select_Single_Node(QStringLiteral("//stream_header[@id='1']/camera_pos"));
  for (const Case& c : cases) {
    n.Set_Text(QString::fromLatin1(c.text));
    int16_t v = -99;
    EXPECT_EQ(Raised([&] { v = h.Stream_CameraPos(1); }), c.err) << c.text;
    if (!c.err) {
      EXPECT_EQ(v, c.value) << c.text;
    }
  }
}

TEST_F(Xml_Header_Test, IsQuaymarkDecidesOnTheTextAsLoaded) {
  struct Case {
    const char* text;
    bool quaymark;
  };
  const std::vector<Case> cases = {
      {"<KVS_header><quaymark/></KVS_header>", true},
      {"<a>made by Quaymark</a>", true},
      {"<a>QUAYMARK</a>", false},
      {"<a>QuayMark</a>", false},
      {"<a>golf only</a>", false},
      {"not xml at all, quaymark", true},
  };
  for (const Case& c : cases) {
    Cls_XML_header h;
    h.Set_XML_string(QString::fromLatin1(c.text));
    EXPECT_EQ(h.is_Quaymark(), c.quaymark) << c.text;
    EXPECT_EQ(h.Loaded_text(), QString::fromLatin1(c.text));
  }
}

TEST_F(Xml_Header_Test, XmlLenCountsStoredBytesAndRefusesMoreThan32767) {
  Cls_XML_header h;
  h.Create_Header(Fixed_Origin());
  h.Set_Event_name(QStringLiteral("Sj\u00f6 \u010dup"));
  const QString text = h.XML_string();
  EXPECT_TRUE(text.contains(QStringLiteral("<event_name>Sj\u00f6 &#269;up</event_name>")));
  EXPECT_EQ(h.XML_len(), qm::To_Latin1_Bytes(text).size());
  EXPECT_EQ(h.XML_len(), text.size());

  // Also when the loaded header declares no encoding.
  Cls_XML_header bare;
  bare.Set_XML_string(QStringLiteral("<KVS_header><event_name>x</event_name></KVS_header>"));
  bare.Set_Event_name(QStringLiteral("\u010d"));
  EXPECT_EQ(bare.XML_string(),
            QStringLiteral("<KVS_header><event_name>&#269;</event_name></KVS_header>\r\n"));
  EXPECT_EQ(bare.XML_len(), qm::To_Latin1_Bytes(bare.XML_string()).size());

  // Fill the event name up to exactly 32767 characters, then one more.
  h.Set_Event_name(QStringLiteral("x"));
  const int others = h.XML_len() - 1;
  h.Set_Event_name(QString(32767 - others, QLatin1Char('x')));
  EXPECT_EQ(h.XML_len(), 32767);
  h.Set_Event_name(QString(32768 - others, QLatin1Char('x')));
  EXPECT_EQ(Raised([&] { (void)h.XML_len(); }), qm::Err_Overflow);

  const QString where = qm::Where_Class("Write_XML_header", "cls_AVI_handler");
  EXPECT_FALSE(qm::Trapped(where, [&] { (void)h.XML_len(); }));
  ASSERT_EQ(reports.size(), 1u);
  EXPECT_EQ(reports[0].errproc, where);
  EXPECT_EQ(reports[0].errnum, qm::Err_Overflow);
}

TEST_F(Xml_Header_Test, RoundTripKeepsWhatOtherProgramsWrote) {
  // A header as the capture program and the family's golf program left it:
  // sections this program does not know, attributes, a comment, entities,
  // LF and CR LF line ends, a Latin-1 character and a character reference.
  const QString original = QStringLiteral(
      "<?xml version=\"1.0\" encoding=\"iso-8859-1\"?>\r\n"
      "<!--XML file containing KVS DV header-->\r\n"
      "<KVS_header>\r\n"
      "<file_data><num_streams>1</num_streams>\n<comp_name>Capture "
      "\u00e5</comp_name></file_data>\r\n"
      "<golf><player_name>Lee &amp; Ann</player_name><graph_objects>"
      "<graph_object id=\"1\" layer=\"top\"><x1>5</x1><!-- keep me --></graph_object>"
      "</graph_objects></golf>\r\n"
      "<quaymark><event_name>Dra&#269;ek Cup</event_name>\r\n<num_lanes>6</num_lanes>\r\n"
      "<heat_record id=\"1\"><heat_ID>A</heat_ID>"
      "<lane_record id=\"3\"><heat_time_mill>000</heat_time_mill></lane_record>"
      "<heat_comment>nnn</heat_comment></heat_record></quaymark>\r\n"
      "<houndlog><box id=\"8\"><dog_name>Rex</dog_name></box></houndlog>\r\n"
      "<vexacap_private a=\"&lt;1\"><![CDATA[raw <data>]]></vexacap_private>\r\n"
      "</KVS_header>\r\n");
  Cls_XML_header h;
  h.Set_XML_string(original);
  ASSERT_TRUE(h.Valid());
  EXPECT_EQ(h.Event_name(), QStringLiteral("Dra\u010dek Cup"));
  EXPECT_EQ(h.XML_string(), original) << "read and written back unchanged";

  h.Set_Num_Lanes(8);
  h.Set_Heat_result(1, 3, 61234);
  QString expected = original;
  expected.replace(QStringLiteral("<num_lanes>6</num_lanes>"),
                   QStringLiteral("<num_lanes>8</num_lanes>"));
  expected.replace(QStringLiteral("<heat_time_mill>000</heat_time_mill>"),
                   QStringLiteral("<heat_time_mill>61234</heat_time_mill>"));
  EXPECT_EQ(h.XML_string(), expected);

  // And once more through the stored bytes, as a capture file holds them.
  Cls_XML_header again;
  again.Set_XML_string(qm::From_Latin1_Bytes(qm::To_Latin1_Bytes(h.XML_string())));
  EXPECT_EQ(again.XML_string(), expected);
  EXPECT_EQ(again.Heat_result(1, 3), 61234);
  Expect_No_Reports();
}

}  // namespace

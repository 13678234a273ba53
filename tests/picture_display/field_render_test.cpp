// The field display on real DV files (frames encoded by libavcodec from a
// known picture): which lines are shown, when the file is read and decoded,
// NTSC buffers, rotation and the two-stream layout.
#include "picture_display/field_render.h"
#include "capture_file/avi_handler.h"
#include "fixtures/kv_fixtures.h"
#include "picture_display/picture_surface.h"
#include "platform/video_codec.h"
#include "support/test_env.h"

#include <QFile>
#include <QImage>

namespace {

using Bytes = std::vector<uint8_t>;

// Frame k: field 1 (odd lines) one grey, field 2 (even lines) another, and a
// dark band over the 64 leftmost columns.
struct Frame_Greys {
  int field1, field2;
};
const Frame_Greys Greys[] = {{200, 60}, {120, 230}, {90, 170}};

Bytes Frame(bool ntsc, Frame_Greys g) {
  const int h = ntsc ? 480 : 576;
  QImage img(720, h, QImage::Format_RGB888);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < 720; ++x) {
      const int v = x < 64 ? 16 : (y % 2 ? g.field1 : g.field2);
      img.setPixel(x, y, qRgb(v, v, v));
    }
  return qm::Encode_DV_Frame(img, ntsc);
}

QString Raw_DV(const QString& path, bool ntsc) {
  QFile f(path);
  EXPECT_TRUE(f.open(QIODevice::WriteOnly));
  for (const Frame_Greys& g : Greys) {
    const Bytes b = Frame(ntsc, g);
    f.write(reinterpret_cast<const char*>(b.data()), static_cast<qint64>(b.size()));
  }
  return path;
}

// Mean grey of the box's rows of one parity (-1: all rows) over x0..x1.
double Mean(const qm::Picture_Surface& box, int parity, int x0, int x1, int y0 = 0, int y1 = -1) {
  if (y1 < 0) y1 = box.Height();
  double sum = 0;
  int n = 0;
  for (int y = y0; y < y1; ++y) {
    if (parity >= 0 && y % 2 != parity) continue;
    for (int x = x0; x < x1; x += 5) sum += qGreen(box.Image().pixel(x, y)), ++n;
  }
  return sum / n;
}

class Field_Display : public qmtest::Test {
 protected:
  qm::cls_AVI_handler file;
  qm::Field_Renderer render{file, 1};
};

class Field_Display_Standard : public Field_Display, public ::testing::WithParamInterface<bool> {};

// Each field shows only its own lines at full height: field 1 the odd lines
// of the picture, field 2 the even ones; the frame display both interleaved.
TEST_P(Field_Display_Standard, The_Two_Fields_Of_A_Frame_Show_Their_Own_Lines) {
  const bool ntsc = GetParam();
  ASSERT_TRUE(file.Open_File(Raw_DV(Tmp("heat.dv"), ntsc)));
  ASSERT_EQ(file.NTSC(), ntsc);
  qm::Picture_Surface box(720, 576);
  for (int f = 1; f <= 6; ++f) {
    render.Draw_field_3(f, box, 0, 1, false);
    const Frame_Greys g = Greys[(f - 1) / 2];
    const int want = f % 2 ? g.field1 : g.field2;
    EXPECT_NEAR(Mean(box, 0, 100, 700), want, 12) << "field " << f << " even box rows";
    EXPECT_NEAR(Mean(box, 1, 100, 700), want, 12) << "field " << f << " odd box rows";
    EXPECT_LT(Mean(box, -1, 0, 50), 40) << "dark band stays on the left";
    EXPECT_EQ(render.eff_frameno(), (f + 1) / 2);
    EXPECT_EQ(render.Field_To_Show(), f % 2 ? 1 : 2);
  }
  EXPECT_EQ(render.Deint_target(1).Height(), ntsc ? 480 : 576);
  EXPECT_EQ(render.counters().decodes, 3);  // once per frame

  render.Draw_Frame(2, box, 0, 1, nullptr, false);
  if (!ntsc) {  // 576 lines 1:1: the box rows alternate
    EXPECT_NEAR(Mean(box, 1, 100, 700), Greys[1].field1, 15);
    EXPECT_NEAR(Mean(box, 0, 100, 700), Greys[1].field2, 15);
  }
  EXPECT_NEAR(Mean(box, -1, 100, 700), (Greys[1].field1 + Greys[1].field2) / 2.0, 15);
  EXPECT_FLOAT_EQ(render.Player_Time(), ntsc ? 33.f : 40.f);
  Expect_No_Reports();
}

INSTANTIATE_TEST_SUITE_P(PAL_NTSC, Field_Display_Standard, ::testing::Values(false, true));

TEST_F(Field_Display, Decodes_Once_Per_Frame_And_Repaints_Without_Reading) {
  ASSERT_TRUE(file.Open_File(Raw_DV(Tmp("heat.dv"), false)));
  qm::Picture_Surface box(720, 576);
  const auto& n = render.counters();

  render.Draw_field_3(0, box, 0, 1, false);  // nothing, no state
  EXPECT_EQ(n.reads, 0);
  EXPECT_EQ(render.m_Current_Field(), 0);
  EXPECT_EQ(box.Paints(), 0);

  render.Draw_field_3(6, box, 0, 1, false);
  render.Draw_field_3(5, box, 0, 1, false);  // the other field of frame 3
  EXPECT_EQ(n.reads, 2);
  EXPECT_EQ(n.decodes, 1);
  EXPECT_EQ(n.extractions, 2);
  EXPECT_EQ(render.m_Decoded_Frame(1), 3);
  EXPECT_FLOAT_EQ(render.Player_Time(), 80.f);  // (5 - 1) x 20 ms
  EXPECT_NEAR(Mean(box, -1, 100, 700), Greys[2].field1, 12);

  const int64_t paints = box.Paints();
  box.Image().fill(Qt::black);
  render.Draw_field_3(5, box, 0, 1, false);  // repaint shortcut
  EXPECT_EQ(n.reads, 2);
  EXPECT_EQ(n.decodes, 1);
  EXPECT_EQ(n.extractions, 2);
  EXPECT_EQ(box.Paints(), paints + 1);
  EXPECT_NEAR(Mean(box, -1, 100, 700), Greys[2].field1, 12);  // painted from the field buffer

  qm::Picture_Surface tall(576, 720);
  render.Draw_field_3(5, tall, 0, 1, true);  // rotated: no shortcut, but no decode either
  EXPECT_EQ(n.reads, 3);
  EXPECT_EQ(n.decodes, 1);
  EXPECT_EQ(n.rotations, 1);
  render.Draw_field_3(5, tall, 0, 1, true);
  EXPECT_EQ(n.reads, 4);

  // A raw DV file is not of the DV kinds: the frame last read is drawn again
  // (both fields), without reading the file.
  box.Image().fill(Qt::black);
  render.Refresh_field(box, false);
  EXPECT_EQ(n.reads, 4);
  EXPECT_EQ(n.decodes, 2);
  EXPECT_NEAR(Mean(box, -1, 100, 700), (Greys[2].field1 + Greys[2].field2) / 2.0, 12);
  EXPECT_EQ(render.m_Decoded_Frame(1), 3);

  file.Close_File();
  EXPECT_EQ(render.m_Last_Field(), 0);
  EXPECT_EQ(render.m_Decoded_Frame(1), 0);
  render.Draw_field_3(5, box, 0, 1, false);  // no file: nothing
  EXPECT_EQ(n.reads, 4);
  ASSERT_TRUE(file.Open_File(Tmp("heat.dv")));
  render.Draw_field_3(5, box, 0, 1, false);  // first field after an open: read and decoded
  EXPECT_EQ(n.reads, 5);
  EXPECT_EQ(n.decodes, 3);
  Expect_No_Reports();
}

TEST_F(Field_Display, A_Frame_Above_32767_Is_Not_Shown_And_Reported) {
  ASSERT_TRUE(file.Open_File(Raw_DV(Tmp("heat.dv"), false)));
  qm::Picture_Surface box(720, 576);
  render.Draw_field_3(3, box, 0, 1, false);
  const QImage before = box.Image().copy();
  render.Draw_field_3(65535, box, 0, 1, false);
  ASSERT_EQ(reports.size(), 1u);
  EXPECT_EQ(reports[0].errnum, qm::Err_Overflow);
  EXPECT_EQ(reports[0].errproc, QStringLiteral("Draw_field_3 of Class Module cls_AVI_handler"));
  EXPECT_EQ(box.Image(), before);
  EXPECT_EQ(render.m_Last_Field(), 3);
  EXPECT_EQ(render.eff_frameno(), 2);
  reports.clear();
  render.Draw_field_3(65533, box, 0, 1, false);  // frame 32767 still passes
  EXPECT_TRUE(reports.empty());
  render.Draw_field_3(3, box, 0, 4, false);  // stream 4 has no buffers
  ASSERT_EQ(reports.size(), 1u);
  EXPECT_EQ(reports[0].errnum, qm::Err_Subscript);
}

TEST_F(Field_Display, PAL_After_NTSC_Gets_576_Line_Buffers_Again) {
  ASSERT_TRUE(file.Open_File(Raw_DV(Tmp("ntsc.dv"), true)));
  qm::Picture_Surface box(720, 576);
  render.Draw_field_3(2, box, 0, 1, false);
  EXPECT_EQ(render.Deint_source(1).Height(), 480);
  EXPECT_NEAR(Mean(box, -1, 100, 700), Greys[0].field2, 12);
  ASSERT_TRUE(file.Open_File(Raw_DV(Tmp("pal.dv"), false)));
  render.Draw_field_3(2, box, 0, 1, false);
  EXPECT_EQ(render.Deint_source(1).Height(), 576);
  EXPECT_EQ(render.Deint_target(1).Height(), 576);
  EXPECT_NEAR(Mean(box, -1, 100, 700), Greys[0].field2, 12);
  EXPECT_NEAR(Mean(box, -1, 100, 700, 560, 576), Greys[0].field2, 12);  // down to the last line
  Expect_No_Reports();
}

TEST_F(Field_Display, Rotated_Quarter_Turn_Puts_The_Left_Band_On_Top) {
  for (bool ntsc : {false, true}) {
    ASSERT_TRUE(file.Open_File(Raw_DV(Tmp(ntsc ? "n.dv" : "p.dv"), ntsc)));
    qm::Picture_Surface box(576, 720);
    render.Draw_field_3(1, box, 0, 1, true);
    EXPECT_LT(Mean(box, -1, 20, 556, 0, 50), 40) << ntsc;
    EXPECT_NEAR(Mean(box, -1, 20, 556, 100, 720), Greys[0].field1, 12) << ntsc;
    render.Draw_field_3(2, box, 0, 1, true);
    EXPECT_NEAR(Mean(box, -1, 20, 556, 100, 720), Greys[0].field2, 12) << ntsc;
  }
  Expect_No_Reports();
}

// A turned PAL field that fills the box goes straight onto it; a rotated
// refresh must still show exactly that field, also after a landscape field
// of another frame has replaced the decoded frame.
TEST_F(Field_Display, Rotated_Refresh_Shows_The_Field_Last_Turned_Onto_The_Box) {
  ASSERT_TRUE(file.Open_File(Raw_DV(Tmp("heat.dv"), false)));
  qm::Picture_Surface box(576, 720), again(576, 720), land(720, 576);
  render.Draw_field_3(1, box, 0, 1, true);
  render.Refresh_field(again, true);
  EXPECT_EQ(again.Image(), box.Image());
  EXPECT_NEAR(Mean(again, -1, 20, 556, 100, 720), Greys[0].field1, 12);

  render.Draw_field_3(2, box, 0, 1, true);
  render.Draw_field_3(5, land, 0, 1, false);  // frame 3 decoded over frame 1
  EXPECT_NEAR(Mean(land, -1, 100, 700), Greys[2].field1, 12);
  again.Image().fill(Qt::black);
  render.Refresh_field(again, true);
  EXPECT_EQ(again.Image(), box.Image());
  EXPECT_NEAR(Mean(again, -1, 20, 556, 100, 720), Greys[0].field2, 12);
  Expect_No_Reports();
}

TEST_F(Field_Display, Rotated_Two_Stream_File_Shows_Each_Stream_In_Its_Half) {
  const Frame_Greys one{200, 200}, two{90, 90};
  std::vector<Bytes> frames;
  for (int i = 0; i < 2; ++i) {
    frames.push_back(Frame(false, one));
    frames.push_back(Frame(false, two));
  }
  const QByteArray xml = qmtest::Minimal_KV_XML(2, 2);
  const QString path = Tmp("two.kv2");
  qmtest::Make_KV_Raw(path, xml, 20 + static_cast<int32_t>(xml.size()) + 100,
                      static_cast<int32_t>(xml.size()), frames);
  ASSERT_TRUE(file.Open_File(path));
  ASSERT_EQ(file.Num_Video_streams(), 2);
  qm::Picture_Surface box(576, 720);
  render.Draw_field_3(1, box, 0, 1, true);
  EXPECT_NEAR(Mean(box, -1, 10, 280, 100, 720), 200, 12);
  EXPECT_EQ(Mean(box, -1, 290, 576, 100, 720), 0);  // right half untouched
  render.Draw_field_3(1, box, 0, 2, true);
  EXPECT_NEAR(Mean(box, -1, 10, 280, 100, 720), 200, 12);
  EXPECT_NEAR(Mean(box, -1, 290, 570, 100, 720), 90, 12);

  // A KV file is DV: the refresh repaints stream 1's field buffer.
  qm::Picture_Surface land(720, 576);
  render.Draw_field_3(1, land, 0, 2, false);
  EXPECT_NEAR(Mean(land, -1, 100, 700), 90, 12);
  const int64_t decodes = render.counters().decodes;
  render.Refresh_field(land, false);
  EXPECT_NEAR(Mean(land, -1, 100, 700), 200, 12);
  EXPECT_EQ(render.counters().decodes, decodes);

  render.Show_Single_Stream = -1;  // one stream alone fills the box
  render.Draw_field_3(3, box, 0, 2, true);
  EXPECT_NEAR(Mean(box, -1, 10, 570, 100, 720), 90, 12);
  Expect_No_Reports();
}

}  // namespace

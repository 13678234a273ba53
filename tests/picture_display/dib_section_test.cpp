// The picture buffer: its layout, re-creation, the painter view over the
// same memory and the drawing routines, and painting onto the picture box.
#include "picture_display/dib_section.h"
#include "picture_display/picture_surface.h"
#include "support/test_env.h"

namespace {

struct Layout_Case {
  int w, h, row, image;
};

class Dib_Layout : public qmtest::Test, public ::testing::WithParamInterface<Layout_Case> {};

TEST_P(Dib_Layout, Rows_Padded_To_Four_Bytes) {
  const Layout_Case c = GetParam();
  qm::cDIBSection dib;
  ASSERT_TRUE(dib.Create(c.w, c.h));
  EXPECT_EQ(dib.BytesPerScanLine(), c.row);
  EXPECT_EQ(dib.SizeImage(), c.image);
  const qm::Dib_Info_Header& h = dib.Info();
  EXPECT_EQ(h.biSize, 40);
  EXPECT_EQ(h.biWidth, c.w);
  EXPECT_EQ(h.biHeight, c.h);  // positive: bottom-up
  EXPECT_EQ(h.biPlanes, 1);
  EXPECT_EQ(h.biBitCount, 24);
  EXPECT_EQ(h.biCompression, 0u);
  EXPECT_NE(dib.DIBSectionBitsPtr(), nullptr);
  EXPECT_NE(dib.hDC(), nullptr);
}

INSTANTIATE_TEST_SUITE_P(Sizes, Dib_Layout,
                         ::testing::Values(Layout_Case{720, 576, 2160, 1244160},
                                           Layout_Case{576, 720, 1728, 1244160},
                                           Layout_Case{720, 480, 2160, 1036800},
                                           Layout_Case{1, 1, 4, 4}, Layout_Case{1, 3, 4, 12},
                                           Layout_Case{5, 2, 16, 32}));

class Dib : public qmtest::Test {};

TEST_F(Dib, Recreated_With_Another_Size_Keeps_The_Draw_Handle) {
  qm::cDIBSection dib;
  ASSERT_TRUE(dib.Create(720, 576));
  const uint64_t first = dib.hDib();
  qm::Picture_Surface box(720, 576);
  ASSERT_TRUE(dib.DIB_PaintPicture(box, 0, 0, -1, -1));
  EXPECT_TRUE(dib.Draw_Handle_Open());
  ASSERT_TRUE(dib.Create(720, 480));
  EXPECT_NE(dib.hDib(), first);
  EXPECT_EQ(dib.Height(), 480);
  EXPECT_EQ(dib.SizeImage(), 2160 * 480);
  EXPECT_TRUE(dib.Draw_Handle_Open());
  EXPECT_TRUE(dib.DIB_PaintPicture(box, 0, 0, 720, 576));  // still usable, stretched
  dib.ClearUp();
  EXPECT_EQ(dib.hDib(), 0u);
  EXPECT_EQ(dib.DIBSectionBitsPtr(), nullptr);
  EXPECT_EQ(dib.hDC(), nullptr);
  EXPECT_FALSE(dib.Draw_Handle_Open());
  EXPECT_FALSE(dib.Create(0, 10));
  EXPECT_EQ(dib.hDC(), nullptr);
  Expect_No_Reports();
}

// The painter works in picture coordinates (top left origin) on memory that
// holds the bottom row first.
TEST_F(Dib, Painter_Draws_Upright_Into_The_Bottom_Up_Memory) {
  qm::cDIBSection dib;
  ASSERT_TRUE(dib.Create(5, 4));
  ASSERT_TRUE(qm::DIB_Rectangle(dib.hDC(), 0, 0, 2, 1, QColor(255, 0, 0), 0, qm::BS_SOLID,
                                qm::PS_NULL, 1, Qt::black));
  const uint8_t* last_row = dib.DIBSectionBitsPtr() + 3 * dib.BytesPerScanLine();
  EXPECT_EQ(last_row[0], 0);    // blue
  EXPECT_EQ(last_row[2], 255);  // red
  EXPECT_EQ(last_row[5], 255);
  EXPECT_EQ(last_row[8], 0);                 // x = 2: right edge excluded
  EXPECT_EQ(dib.DIBSectionBitsPtr()[2], 0);  // bottom row untouched
  dib.hDC()->Painter().fillRect(QRect(4, 3, 1, 1), QColor(1, 2, 3));
  EXPECT_EQ(dib.hDC()->Pixel_Colour(4, 3), QColor(1, 2, 3));
  EXPECT_EQ(dib.DIBSectionBitsPtr()[12], 3);  // bottom row, x = 4, blue byte
}

TEST_F(Dib, Lines_Leave_Out_The_End_Point_And_Dot_Three_On_Three_Off) {
  qm::cDIBSection dib;
  ASSERT_TRUE(dib.Create(16, 4));
  qm::Dib_DC* dc = dib.hDC();
  const QColor red(255, 0, 0);
  ASSERT_TRUE(qm::DIB_Line(dc, 1, 0, 5, 0, qm::PS_SOLID, 1, red));
  ASSERT_TRUE(qm::DIB_Line(dc, 0, 2, 14, 2, qm::PS_DOT, 1, red));
  ASSERT_TRUE(qm::DIB_Line(dc, 15, 3, 15, 0, qm::PS_SOLID, 1, red));  // upwards
  QString solid, dotted, up;
  for (int x = 0; x < 16; ++x) {
    solid += dc->Pixel_Colour(x, 0) == red ? '#' : '.';
    dotted += dc->Pixel_Colour(x, 2) == red ? '#' : '.';
  }
  for (int y = 0; y < 4; ++y) up += dc->Pixel_Colour(15, y) == red ? '#' : '.';
  EXPECT_EQ(solid, QStringLiteral(".####..........."));
  EXPECT_EQ(dotted, QStringLiteral("###...###...##.#"));  // x = 15: the upward line
  EXPECT_EQ(up, QStringLiteral(".###"));
  EXPECT_FALSE(qm::DIB_Line(nullptr, 0, 0, 1, 1, qm::PS_SOLID, 1, red));
  EXPECT_EQ(dialogs.records().size(), 1u);  // the failed draw shows its number
}

TEST_F(Dib, Ellipse_Filled_With_The_Outline_Inside_Its_Box) {
  qm::cDIBSection dib;
  ASSERT_TRUE(dib.Create(40, 40));
  qm::Dib_DC* dc = dib.hDC();
  dc->Painter().fillRect(QRect(0, 0, 40, 40), QColor(128, 128, 128));
  const QColor fill(200, 200, 200), pen(0, 0, 255);
  ASSERT_TRUE(qm::DIB_Ellipse(dc, 10, 10, 35, 35, fill, 0, qm::BS_SOLID, qm::PS_SOLID, 2, pen));
  EXPECT_EQ(dc->Pixel_Colour(22, 22), fill);  // centre
  EXPECT_EQ(dc->Pixel_Colour(22, 10), pen);   // top of the ring, on the centre column
  EXPECT_EQ(dc->Pixel_Colour(22, 34), pen);   // bottom row inside the box
  EXPECT_EQ(dc->Pixel_Colour(22, 35), QColor(128, 128, 128));
  EXPECT_EQ(dc->Pixel_Colour(10, 10), QColor(128, 128, 128));  // corner outside the circle
  // Hollow: the ring only.
  ASSERT_TRUE(qm::DIB_Ellipse(dc, 0, 0, 9, 9, fill, 0, qm::BS_HOLLOW, qm::PS_SOLID, 1, pen));
  EXPECT_EQ(dc->Pixel_Colour(4, 4), QColor(128, 128, 128));
  EXPECT_EQ(dc->Pixel_Colour(4, 0), pen);
}

TEST_F(Dib, Rectangle_Outline_And_Hollow_Brush) {
  qm::cDIBSection dib;
  ASSERT_TRUE(dib.Create(10, 10));
  qm::Dib_DC* dc = dib.hDC();
  const QColor fill(0, 255, 0), pen(255, 0, 0);
  ASSERT_TRUE(qm::DIB_Rectangle(dc, 1, 1, 7, 6, fill, 0, qm::BS_SOLID, qm::PS_SOLID, 1, pen));
  EXPECT_EQ(dc->Pixel_Colour(1, 1), pen);
  EXPECT_EQ(dc->Pixel_Colour(6, 5), pen);  // right and bottom edges are the last inside
  EXPECT_EQ(dc->Pixel_Colour(3, 3), fill);
  EXPECT_EQ(dc->Pixel_Colour(7, 3), QColor(0, 0, 0));
  ASSERT_TRUE(qm::DIB_Rectangle(dc, 0, 0, 10, 10, fill, 0, qm::BS_HOLLOW, qm::PS_SOLID, 1,
                                QColor(9, 9, 9)));
  EXPECT_EQ(dc->Pixel_Colour(3, 3), fill);  // hollow: the inside stays
  EXPECT_EQ(dc->Pixel_Colour(9, 9), QColor(9, 9, 9));
}

TEST_F(Dib, Paints_Upright_Onto_The_Box_One_To_One_And_Stretched) {
  qm::cDIBSection dib;
  ASSERT_TRUE(dib.Create(720, 480));
  qm::Dib_DC* dc = dib.hDC();
  dc->Painter().fillRect(QRect(0, 0, 720, 480), Qt::black);
  dc->Painter().fillRect(QRect(0, 0, 720, 40), QColor(255, 255, 255));  // top band
  qm::Picture_Surface box(720, 576);
  ASSERT_TRUE(dib.DIB_PaintPicture(box, 0, 0, 720, 576));  // NTSC stretched to 576 lines
  EXPECT_EQ(qGreen(box.Image().pixel(100, 10)), 255);
  EXPECT_EQ(qGreen(box.Image().pixel(100, 60)), 0);  // 40 lines became 48
  EXPECT_EQ(qGreen(box.Image().pixel(100, 570)), 0);
  EXPECT_EQ(box.Paints(), 1);

  qm::cDIBSection small;
  ASSERT_TRUE(small.Create(4, 2));
  small.hDC()->Set_Pixel(0, 0, QColor(10, 20, 30));
  ASSERT_TRUE(small.DIB_PaintPicture(box, 100, 200, -1, -1));  // the buffer's own size
  EXPECT_EQ(box.Image().pixel(100, 200) & 0xffffff, qRgb(10, 20, 30) & 0xffffffu);
  EXPECT_EQ(qGreen(box.Image().pixel(104, 200)), 0);

  // The source rectangle of DrawDib2 fills the whole box.
  ASSERT_TRUE(dib.DIB_DrawDib2(box, 0, 0, 720, 40));
  EXPECT_EQ(qGreen(box.Image().pixel(700, 570)), 255);

  EXPECT_TRUE(dialogs.records().empty());
  EXPECT_FALSE(small.DIB_PaintPicture(box, 718, 0, 4, 2));  // outside the box
  ASSERT_EQ(dialogs.records().size(), 1u);
  EXPECT_EQ(dialogs.records()[0].text, QStringLiteral("DIB_paintpicture error"));
}

}  // namespace

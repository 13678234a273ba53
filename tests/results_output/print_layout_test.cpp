// The printed page by its figures: margins, title size, file box, result
// lines and the picture series cells.
#include "race_timing/lane.h"
#include "race_timing/lane_result.h"
#include "race_timing/result_rows.h"
#include "results_output/printing.h"
#include "shell/app_globals.h"
#include "shell/settings.h"
#include "support/test_env.h"

#include <QFile>
#include <QImage>

#include <array>
#include <cmath>

namespace {

class Print_Layout_Test : public qmtest::Test {
 protected:
  void SetUp() override {
    qmtest::Test::SetUp();
    saved = qm::print_setup();
    qm::Check_Printer({});  // no printer
    qm::Compute_Print_Margins();
  }
  void TearDown() override {
    qm::print_setup() = saved;
    qmtest::Test::TearDown();
  }
  qm::Print_Setup saved;
};

std::array<int32_t, 16> Timed(int n) {
  std::array<int32_t, 16> t;
  t.fill(qm::No_result);
  for (int i = 0; i < n; ++i) t[static_cast<size_t>(i)] = 60000 + 10 * i;
  return t;
}

TEST_F(Print_Layout_Test, PageAndMarginsWithoutPrinter) {
  const qm::Print_Setup& s = qm::print_setup();
  EXPECT_EQ(s.Printers_Num, 0);
  EXPECT_EQ(s.Page_Width, 11904);
  EXPECT_EQ(s.Page_Height, 16834);
  EXPECT_DOUBLE_EQ(s.Left, 595.2);
  EXPECT_DOUBLE_EQ(s.Top, 336.68);
  EXPECT_DOUBLE_EQ(s.Right, 11308.8);
  EXPECT_DOUBLE_EQ(s.Bottom, 15992.3);
  EXPECT_EQ(qm::Make_Print_footer(), QString());  // no printer, no footer

  qm::Check_Printer({1, QStringLiteral("PDF"), 12240, 15840});
  EXPECT_EQ(qm::print_setup().Page_Width, 12240);
  const QString f = qm::Make_Print_footer();
  EXPECT_TRUE(f.startsWith(QStringLiteral("Printed by Quaymark at: ")));
  EXPECT_TRUE(f.endsWith(QStringLiteral(" /") + qm::app().Version_Text +
                         QStringLiteral(" /Computer: ") + qm::app().Computer_Name +
                         QStringLiteral(" /Printer: PDF")));
  // A printer that cannot tell its page gives the default page.
  qm::Check_Printer({1, QStringLiteral("lp"), 0, 0});
  EXPECT_EQ(qm::print_setup().Page_Height, 16834);
}

TEST_F(Print_Layout_Test, TitleSizeSearch) {
  const qm::Page_Font probe{QStringLiteral("Arial"), 0, true, false, Qt::blue};
  auto width_at = [&](const QString& t, double size) {
    qm::Page_Font f = probe;
    f.size = size;
    return qm::Page_Text_Width(f, t + QStringLiteral("xxx"));
  };
  for (const char* name : {"Sjöå Regatta 2026", "Nordic Canoe Sprint Championships", "A"}) {
    const QString n = QString::fromUtf8(name);
    const double A = 7000;
    const double size = qm::Title_Font_Size(n, A);
    EXPECT_EQ(std::fmod(size, 2.0), 0.0);
    EXPECT_LT(width_at(n, size), A) << name;
    if (size < 110) {
      EXPECT_GE(width_at(n, size + 2), A) << name;
    }
  }
  EXPECT_EQ(qm::Title_Font_Size(QStringLiteral("A"), 1e9), 110);
  EXPECT_EQ(qm::Title_Font_Size(QString(200, QLatin1Char('W')), 7000), 8);
}

TEST_F(Print_Layout_Test, StaticContentGeometry) {
  qm::Static_Inputs in;
  in.event_name = QStringLiteral("Sjöå Regatta");
  in.file_path = QStringLiteral("/home/op/Quaymark_Data/2026/day1/Heat12_final_A_semifinal.kv2");
  in.last_capture = QStringLiteral("2012-06-09 10:52:10");
  in.camera_time = QStringLiteral("10:46:34:12");
  const qm::Static_Layout y = qm::Layout_Static(qm::print_setup(), in);
  const QImage logo = qm::Quaymark_Logo();
  EXPECT_DOUBLE_EQ(y.logo.width(), logo.width() * 15.0);
  EXPECT_DOUBLE_EQ(y.logo.right(), y.R - 100);
  EXPECT_DOUBLE_EQ(y.logo.top(), 0.03 * 16834);
  EXPECT_DOUBLE_EQ(y.title_width, y.logo.left() - (y.L + 300));
  EXPECT_EQ(y.title_size, qm::Title_Font_Size(in.event_name, y.title_width));
  EXPECT_DOUBLE_EQ(y.title_scale, 1.0);
  EXPECT_DOUBLE_EQ(y.title.left(), y.L + 100);
  EXPECT_DOUBLE_EQ(y.Y1, y.title_natural.height() + y.T + 100);
  // The path line is longer than 60 characters: split after 60.
  ASSERT_EQ(y.file_lines.size(), 4);
  EXPECT_EQ(y.file_lines[0].size(), 60);
  EXPECT_EQ(y.file_lines[0] + y.file_lines[1], QStringLiteral("Filename = ") + in.file_path);
  EXPECT_EQ(y.file_lines[3], QStringLiteral("Camera time: 10:46:34:12"));
  const qm::Page_Font box_font;  // Arial 8
  EXPECT_DOUBLE_EQ(y.file_box.width(),
                   qm::Page_Text_Width(box_font, y.file_lines[0] + QStringLiteral("xx")) + 50);
  EXPECT_DOUBLE_EQ(y.file_box.height(), 5 * qm::Page_Text_Height(box_font));
  EXPECT_DOUBLE_EQ(y.file_box.right(), y.R - 100);
  EXPECT_DOUBLE_EQ(y.file_box.top(), 0.14 * 16834);
  EXPECT_DOUBLE_EQ(y.Y0, std::max(y.Y1, 0.12 * 16834 + y.file_box.height()));
  EXPECT_DOUBLE_EQ(y.footer.x(), y.L + 100);
  EXPECT_DOUBLE_EQ(y.footer.y(), y.B - 200);

  // A name that does not fit at size 8 is scaled down to the title width.
  in.event_name = QString(300, QLatin1Char('M'));
  const qm::Static_Layout z = qm::Layout_Static(qm::print_setup(), in);
  EXPECT_EQ(z.title_size, 8);
  EXPECT_LT(z.title_scale, 1.0);
  EXPECT_NEAR(z.title.width(), z.title_width, 1e-6);
  EXPECT_DOUBLE_EQ(z.Y1, z.title_natural.height() + z.T + 100);  // unscaled height

  // An event logo takes the title's place at its natural size (15 twips a pixel).
  QImage ev(200, 80, QImage::Format_RGB32);
  ev.fill(Qt::red);
  in.event_logo = &ev;
  const qm::Static_Layout l = qm::Layout_Static(qm::print_setup(), in);
  EXPECT_TRUE(l.title_is_logo);
  EXPECT_EQ(l.title_natural, QSizeF(3000, 1200));
  EXPECT_DOUBLE_EQ(l.Y1, 1200 + l.T + 100);
  EXPECT_DOUBLE_EQ(l.Y0, std::max(l.Y1, 0.12 * 16834 + l.file_box.height()));
}

TEST_F(Print_Layout_Test, SeriesCells) {
  const double L = qm::print_setup().Left, R = qm::print_setup().Right, U = R - L;
  const double B = qm::print_setup().Bottom;
  const double y0 = 7000;
  // Five timed lanes, not rotated: 3 columns, places 1-3 then 4-5.
  qm::Series_Layout a = qm::Layout_Series(L, R, y0, B, false, Timed(5));
  EXPECT_EQ(a.columns, 3);
  EXPECT_EQ(a.w, std::round(U / 3.15));
  EXPECT_EQ(a.h, std::round(0.75 * a.w));
  ASSERT_EQ(a.cells.size(), 5u);
  EXPECT_DOUBLE_EQ(a.cells[2].box.left(), L + (U / 3) * 2);
  EXPECT_EQ(a.cells[3].place, 4);
  EXPECT_EQ(a.cells[3].box.topLeft(), QPointF(L, y0 + a.h * 1.05));

  // Nine: 5 columns, places 1-9 over two rows. Rotated, 80 % of the
  // four-column picture is what fits a fifth; upright, 80 % of the
  // three-column one would not, so the picture is a fifth wide.
  qm::Series_Layout b = qm::Layout_Series(L, R, y0, B, false, Timed(9));
  EXPECT_EQ(b.columns, 5);
  EXPECT_EQ(b.w, std::round(U / 5.25));
  EXPECT_EQ(b.h, std::round(0.75 * b.w));
  EXPECT_LE(b.cells[4].box.right(), R);
  EXPECT_LE(b.cells[0].box.right(), b.cells[1].box.left());
  qm::Series_Layout b_rot = qm::Layout_Series(L, R, y0, B, true, Timed(9));
  EXPECT_EQ(b_rot.w, std::round(std::round(U / 4.2) * 0.8));
  EXPECT_EQ(b_rot.h, std::round(std::round(4.0 / 3.0 * std::round(U / 4.2)) * 0.8));
  ASSERT_EQ(b.cells.size(), 9u);
  EXPECT_EQ(b.cells[5].box.topLeft(), QPointF(L, y0 + b.h * 1.05));
  EXPECT_DOUBLE_EQ(b.cells[8].box.left(), L + 3 * (U / 5));

  // Sixteen: at most three rows, places 1-15.
  qm::Series_Layout c = qm::Layout_Series(L, R, y0, B, false, Timed(16));
  ASSERT_EQ(c.cells.size(), 15u);
  EXPECT_EQ(c.cells.back().place, 15);
  EXPECT_EQ(c.cells.back().box.top(), y0 + 2 * c.h * 1.05);

  // Sixteen rotated pictures below a long list: shrunk to end above the footer.
  qm::Series_Layout tall = qm::Layout_Series(L, R, 9800, B, true, Timed(16));
  ASSERT_EQ(tall.cells.size(), 15u);
  EXPECT_LE(tall.cells.back().box.bottom(), B - 250);
  EXPECT_LT(tall.w, b_rot.w);

  // Rotated pictures: 4 columns of upright pictures.
  qm::Series_Layout r = qm::Layout_Series(L, R, y0, B, true, Timed(6));
  EXPECT_EQ(r.columns, 4);
  EXPECT_EQ(r.w, std::round(U / 4.2));
  EXPECT_EQ(r.h, std::round(4.0 / 3.0 * r.w));
  EXPECT_EQ(r.cells.size(), 6u);

  // A status in place 3 ends the series; no times, no pictures.
  auto t = Timed(5);
  t[2] = qm::Status_DSQ;
  EXPECT_EQ(qm::Layout_Series(L, R, y0, B, false, t).cells.size(), 2u);
  EXPECT_TRUE(qm::Layout_Series(L, R, y0, B, false, Timed(0)).cells.empty());
}

TEST_F(Print_Layout_Test, ResultLinesAndNationalLetters) {
  EXPECT_EQ(qm::Result_Print_Line("3", "5", "DSQ", ""),
            QStringLiteral("  3      5   Disqualified"));
  EXPECT_EQ(qm::Result_Print_Line("12", "15", "DNF", ""),
            QStringLiteral(" 12     15   Did not finish"));
  EXPECT_EQ(qm::Result_Print_Line("1", "3", " 01:23,45", "+0,00"),
            QStringLiteral("  1      3   01:23,45  +0,00"));
  EXPECT_EQ(qm::Replace_National_Letters(QStringLiteral("Åsa Ängö Sjöå Ä Ö")),
            QStringLiteral("Asa Ango Sjoa A O"));
}

// The printing itself, through a player that hands out plain pictures.
class Fake_Player : public qm::Print_Player {
 public:
  bool Rotated() const override { return false; }
  QImage Finish_Picture(int place) override {
    places.push_back(place);
    QImage i(72, 54, QImage::Format_RGB32);
    i.fill(Qt::gray);
    return i;
  }
  QImage Shown_Picture() override {
    QImage i(720, 576, QImage::Format_RGB32);
    i.fill(Qt::darkGray);
    return i;
  }
  int32_t Current_Field() const override { return 77; }
  void Back_To_Start() override { back = true; }
  std::vector<int> places;
  bool back = false;
};

TEST_F(Print_Layout_Test, ResultsSeriesAndSinglePages) {
  qm::Result_Arrays a;
  for (auto& s : a.all) s.time = qm::No_result;
  for (int lane = 1; lane <= 5; ++lane) a.all[static_cast<size_t>(lane)].time = 60000 + lane * 37;
  a.all[6].time = qm::Status_DNS;
  qm::Copy_Active_Heat(a);
  qm::Lane_Active_Heat_Array_Sort(a);
  qm::Result_Rows rows;
  qm::Lane_markers m;
  qm::Fill_Results(a, 0, true, QStringLiteral("12"), QString(), m, rows);
  qm::Heat_Facts f;
  f.file_open = true;
  f.heat_id = QStringLiteral("12");
  f.event_name = QStringLiteral("Sjöå");
  qm::app().Export_event_name = QStringLiteral("Sjöå");

  qm::Results_Printer p;
  std::vector<qm::Page_Canvas> pages;
  p.on_preview = [&](const qm::Page_Canvas& c) { pages.push_back(c); };
  Fake_Player player;
  p.Print_Results(true, f, QString(), rows, a, &player);
  ASSERT_EQ(pages.size(), 1u);
  EXPECT_TRUE(p.target.Empty());  // handed over, then cleared
  EXPECT_EQ(p.Print_job_title, QStringLiteral("Sjoa Heat: 12 Series"));
  QStringList texts;
  int pictures = 0;
  for (const auto& it : pages[0].Items()) {
    if (it.kind == qm::Page_Item::Kind::Text) texts << it.text;
    if (it.kind == qm::Page_Item::Kind::Picture) ++pictures;
  }
  EXPECT_TRUE(texts.contains(QStringLiteral("Results for Heat: 12")));
  EXPECT_TRUE(texts.contains(QStringLiteral("Place Lane       Time   Diff.")));
  EXPECT_TRUE(texts.contains(QStringLiteral("  6      6   Did not start")));
  EXPECT_EQ(player.places, std::vector<int>({1, 2, 3, 4, 5}));
  EXPECT_TRUE(player.back);
  EXPECT_EQ(pictures, 2 + 5);  // the logo on each of the two static passes, five cells
  EXPECT_EQ(p.Last_Series.cells.front().box.top(), p.Y_Pos_After_Results);

  pages.clear();
  p.PrintSingle(f, QStringLiteral("10:46:34:12"), player);
  ASSERT_EQ(pages.size(), 1u);
  const qm::Page_Item& pic = pages[0].Items().back();
  EXPECT_EQ(pic.kind, qm::Page_Item::Kind::Picture);
  EXPECT_EQ(pic.box.size(), QSizeF(720 * 15, 576 * 15));
  EXPECT_DOUBLE_EQ(pic.box.left(), qm::print_setup().Left + 100);
  EXPECT_EQ(p.Print_job_title, QStringLiteral("Sjoa Heat 12 Single"));

  // A printer that fails: "Printer error", nothing reported.
  p.Preview_Mode = false;
  p.on_print = [](const qm::Page_Canvas&, const QString&) { return false; };
  p.Printer_Test(f, QString());
  EXPECT_EQ(dialogs.Texts(), QStringList(QStringLiteral("Printer error")));
  Expect_No_Reports();
}

}  // namespace

namespace {

TEST_F(Print_Layout_Test, SelectLogoFileAndLoadLogo) {
  QImage logo(40, 20, QImage::Format_RGB32);
  logo.fill(Qt::green);
  ASSERT_TRUE(logo.save(Tmp("club.bmp")));
  qm::Results_Printer p;
  dialogs.File_With(Tmp("club.bmp"));
  p.item_select_logo_file_Click();
  ASSERT_EQ(dialogs.records().size(), 1u);
  EXPECT_EQ(dialogs.records()[0].text, QStringLiteral("Select Logo File"));
  EXPECT_EQ(qm::Read_Ini_String("Canoe", "event_logo", "N/A"), Tmp("club.bmp"));
  EXPECT_EQ(p.Event_logo.size(), QSize(40, 20));

  // The file gone: no logo, the event name is printed instead.
  QFile::remove(Tmp("club.bmp"));
  EXPECT_FALSE(p.Load_logo());
  EXPECT_TRUE(p.Event_logo.isNull());

  // Cancelled: the setting is emptied and the logo removed.
  ASSERT_TRUE(logo.save(Tmp("club.bmp")));
  EXPECT_TRUE(p.Load_logo());
  p.item_select_logo_file_Click();
  EXPECT_EQ(qm::Read_Ini_String("Canoe", "event_logo", "N/A"), QStringLiteral("N/A"));
  EXPECT_TRUE(p.Event_logo.isNull());
  Expect_No_Reports();
}

}  // namespace
